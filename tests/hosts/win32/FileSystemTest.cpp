#include <windows.h>

#include <functional>
#include <string>

#include "hosts/win32/Win32FileSystem.h"
#include "tests/hosts/win32/FileSystemFixture.h"

namespace brelmont::win32::test {
namespace {

class FileSystemTest : public ScratchDirectoryTest {};

// A file of every byte value, CR LF among them: the code page passes them unconverted.
std::string EveryByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes + "\r\n";
}

TEST_F(FileSystemTest, OrdinaryFileExistsSeesOnlyOrdinaryFiles) {
    WriteBytes(At("plain.txt"), "x");
    WriteBytes(At("hidden.txt"), "x");
    WriteBytes(At("system.txt"), "x");
    std::filesystem::create_directory(At("folder.txt"));
    ::SetFileAttributesA(At("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesA(At("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {At("plain.txt"), true},   {At("hidden.txt"), false},  {At("system.txt"), false},
        {At("folder.txt"), false}, {At("missing.txt"), false}, {At("none\\plain.txt"), false},
        {At("*.txt"), true},       {At("?lain.txt"), true},    {At("h*.txt"), false},
        {At("s?stem.txt"), false}, {At("fold*"), false},       {"", false},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(files.OrdinaryFileExists(item.path), item.exists) << item.path;
    }
}

TEST_F(FileSystemTest, ReadsEveryByteAsItIs) {
    WriteBytes(At("bytes.bin"), EveryByte());
    ASSERT_EQ(files.FileLength(At("bytes.bin")), EveryByte().size());
    EXPECT_EQ(files.ReadFile(At("bytes.bin"), EveryByte().size()), EveryByte());
    WriteBytes(At("empty.bin"), "");
    EXPECT_EQ(files.ReadFile(At("empty.bin"), 0), "");
}

TEST_F(FileSystemTest, FailuresCarryTheClassicNumbers) {
    std::filesystem::create_directory(At("folder"));
    const struct {
        const char* what;
        std::function<void()> action;
        std::int32_t number;
    } cases[] = {
        {"missing file", [&] { files.FileLength(At("missing.txt")); }, ErrorNumber::FileNotFound},
        {"missing path", [&] { files.FileLength(At("none\\x.txt")); }, ErrorNumber::PathNotFound},
        {"directory", [&] { files.FileLength(At("folder")); }, ErrorNumber::PathFileAccessError},
        {"append to a missing path", [&] { files.AppendToFile(At("none\\log.txt"), "x"); },
         ErrorNumber::PathNotFound},
        {"change to a missing directory", [&] { files.ChangeDirectory(At("none")); },
         ErrorNumber::PathNotFound},
        {"bad name", [&] { files.FileLength(At("a|b.txt")); }, ErrorNumber::BadFileNameOrNumber},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(ErrorNumberOf(item.action), item.number) << item.what;
    }
    EXPECT_FALSE(std::filesystem::exists(At("none")));
}

TEST_F(FileSystemTest, ReadPastTheEndIsRefused) {
    WriteBytes(At("short.txt"), "abc");
    EXPECT_EQ(ErrorNumberOf([&] { files.ReadFile(At("short.txt"), 4); }),
              ErrorNumber::InputPastEndOfFile);
}

TEST_F(FileSystemTest, AppendCreatesTheFileAndAddsAtTheEnd) {
    files.AppendToFile(At("log.txt"), "one\r\n");
    files.AppendToFile(At("log.txt"), "two\r\n");
    EXPECT_EQ(ReadBytes(At("log.txt")), "one\r\ntwo\r\n");
}

TEST_F(FileSystemTest, ReplaceLeavesExactlyTheNewBytes) {
    for (const std::string& before : {std::string(), std::string(5000, 'o'), EveryByte()}) {
        if (!before.empty()) {
            WriteBytes(At("Launch.local"), before);
        }
        files.ReplaceFile(At("Launch.local"), EveryByte());
        EXPECT_EQ(ReadBytes(At("Launch.local")), EveryByte());
        files.ReplaceFile(At("Launch.local"), "");
        EXPECT_EQ(ReadBytes(At("Launch.local")), "");
        EXPECT_EQ(Entries(root), std::set<std::string>{"Launch.local"});
        EXPECT_TRUE(files.OrdinaryFileExists(At("Launch.local")));
        std::filesystem::remove(At("Launch.local"));
    }
}

TEST_F(FileSystemTest, ReplaceThatCannotBeDoneKeepsTheOldFile) {
    WriteBytes(At("Launch.local"), "old");
    std::filesystem::create_directory(At("folder"));
    const struct {
        const char* what;
        std::function<void()> before;
        std::function<void()> after;
        std::string path;
        std::int32_t number;
    } cases[] = {
        {"missing directory", [] {}, [] {}, At("none\\Launch.local"), ErrorNumber::PathNotFound},
        {"a directory", [] {}, [] {}, At("folder"), ErrorNumber::PathFileAccessError},
        {"read-only",
         [&] { ::SetFileAttributesA(At("Launch.local").c_str(), FILE_ATTRIBUTE_READONLY); },
         [&] { ::SetFileAttributesA(At("Launch.local").c_str(), FILE_ATTRIBUTE_NORMAL); },
         At("Launch.local"), ErrorNumber::PermissionDenied},
    };
    for (const auto& item : cases) {
        item.before();
        EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(item.path, "new"); }), item.number)
            << item.what;
        item.after();
        EXPECT_EQ(ReadBytes(At("Launch.local")), "old") << item.what;
        EXPECT_EQ(Entries(root), (std::set<std::string>{"Launch.local", "folder"})) << item.what;
    }
}

TEST_F(FileSystemTest, ReplaceFailingAtAnyPointKeepsTheOldFile) {
    // Two pieces, so that a write can fail after the first has reached the disk.
    const std::string contents(kWriteChunk + 10, 'n');
    const struct {
        FaultPoint point;
        int nth;
    } cases[] = {
        {FaultPoint::DirectoryOpen, 1}, {FaultPoint::Open, 1},  {FaultPoint::Write, 1},
        {FaultPoint::Write, 2},         {FaultPoint::Flush, 1}, {FaultPoint::Close, 1},
        {FaultPoint::Replace, 1},
    };
    for (const bool exists : {true, false}) {
        for (const auto& item : cases) {
            const std::string what = "point " + std::to_string(static_cast<int>(item.point)) +
                                     " call " + std::to_string(item.nth) +
                                     (exists ? " over a file" : " for a new file");
            std::filesystem::remove(At("Launch.local"));
            if (exists) {
                WriteBytes(At("Launch.local"), "old");
            }
            files.InjectFault(item.point, item.nth, ERROR_DISK_FULL);
            EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), contents); }),
                      ErrorNumber::DiskFull)
                << what;
            files.ClearFaults();
            EXPECT_EQ(Entries(root),
                      exists ? std::set<std::string>{"Launch.local"} : std::set<std::string>{})
                << what;
            if (exists) {
                EXPECT_EQ(ReadBytes(At("Launch.local")), "old") << what;
            }
        }
    }
}

// ReplaceFile can fail after removing the old file, the new contents left under the temporary
// name: they must end up as Launch.local, not be deleted with the temporary file.
TEST_F(FileSystemTest, ReplaceThatRemovedTheOldFileStillLeavesTheNewOne) {
    WriteBytes(At("Launch.local"), "old");
    files.InjectFault(FaultPoint::Replace, 1, ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    files.ReplaceFile(At("Launch.local"), "new");
    EXPECT_EQ(Entries(root), std::set<std::string>{"Launch.local"});
    EXPECT_EQ(ReadBytes(At("Launch.local")), "new");
}

// A data directory that Kelvane.conf names, or a program directory the caller names: a device
// never, a network share only when the run is not elevated.
TEST_F(FileSystemTest, KelvaneOnADeviceOrAnElevatedRunsShareIsRefused) {
    const struct {
        std::string path;
        bool elevated;
        std::int32_t number;  // 0: taken
    } cases[] = {
        {"C:\\ProgramData\\Kelvane", true, 0},
        {"\\\\?\\C:\\ProgramData\\Kelvane", true, 0},
        {"\\\\server\\share\\Kelvane", false, 0},
        {"\\\\server\\share\\Kelvane", true, ErrorNumber::PermissionDenied},
        {"\\\\?\\UNC\\server\\share", true, ErrorNumber::PermissionDenied},
        {"\\\\.\\pipe\\kelvane", false, ErrorNumber::BadFileNameOrNumber},
        {"\\\\?\\GLOBALROOT\\Device\\Null", false, ErrorNumber::BadFileNameOrNumber},
    };
    for (const auto& item : cases) {
        files.SetElevated(item.elevated);
        EXPECT_EQ(ErrorNumberOf([&] { files.NamedBy(item.path, At("Kelvane.conf")); }), item.number)
            << item.path << (item.elevated ? " elevated" : "");
        EXPECT_EQ(ErrorNumberOf([&] { files.NamedByCaller(item.path); }), item.number)
            << item.path << (item.elevated ? " elevated" : "") << ", named by the caller";
    }
}

TEST_F(FileSystemTest, WorkingDirectoryGoesAndComesBack) {
    const std::string start = files.CurrentDirectory();
    std::filesystem::create_directory(At("inner"));
    files.ChangeDirectory(At("inner"));
    EXPECT_TRUE(files.IsDirectory(files.CurrentDirectory()));
    EXPECT_EQ(std::filesystem::equivalent(files.CurrentDirectory(), At("inner")), true);
    files.ChangeDirectory(start);
    EXPECT_EQ(files.CurrentDirectory(), start);
    EXPECT_FALSE(files.IsDirectory(At("missing")));
    EXPECT_FALSE(files.IsDirectory(""));
}

// Folder names no single ANSI code page holds, in UTF-8: every service finds them whole.
TEST_F(FileSystemTest, NamesBeyondTheAnsiCodePage) {
    const std::string names[] = {
        "\xD0\x9E\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB5\xD1\x86 \xE8\xA6\x8B\xE6\x9C\xAC",
        "Donn\xC3\xA9"
        "es \xCE\xB4\xCE\xB5\xCE\xB4\xCE\xBF\xCE\xBC\xCE\xAD\xCE\xBD\xCE\xB1",
        "\xF0\x9F\x93\x81 emoji",
    };
    for (const std::string& name : names) {
        const std::string folder = At(name);
        std::filesystem::create_directory(PathOf(folder));
        const std::string launch = folder + "\\Launch.local";
        files.ReplaceFile(launch, "new\r\n");
        files.AppendToFile(folder + "\\log.txt", "line\r\n");
        EXPECT_TRUE(files.OrdinaryFileExists(launch)) << name;
        EXPECT_TRUE(files.OrdinaryFileExists(folder + "\\*.local")) << name;
        EXPECT_TRUE(files.IsDirectory(folder)) << name;
        EXPECT_EQ(files.ReadFile(launch, files.FileLength(launch)), "new\r\n") << name;
        files.ReplaceFile(launch, "newer\r\n");
        EXPECT_EQ(ReadBytes(launch), "newer\r\n") << name;
        EXPECT_NE(files.LockDirectory(folder), nullptr) << name;
        EXPECT_EQ(Entries(folder), (std::set<std::string>{"Launch.local", "log.txt"})) << name;
        const std::string start = files.CurrentDirectory();
        files.ChangeDirectory(folder);
        EXPECT_EQ(files.CurrentDirectory(), folder) << name;
        files.ChangeDirectory(start);
    }
}

// A path from a file is ANSI text unless it is well-formed UTF-8.
TEST_F(FileSystemTest, PathFromFileTextReadsAnsiUnlessUtf8) {
    const std::string cyrillic = "C:\\\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5";
    EXPECT_EQ(files.PathFromFileText("C:\\Kelvane Data"), "C:\\Kelvane Data");
    EXPECT_EQ(files.PathFromFileText(cyrillic), cyrillic);
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "the ANSI cases are written for code page 1252, not " << ::GetACP();
    }
    EXPECT_EQ(files.PathFromFileText("C:\\Donn\xE9"
                                     "es"),
              "C:\\Donn\xC3\xA9"
              "es");
    // Windows-1252 bytes that happen to form no UTF-8: each its own letter.
    EXPECT_EQ(files.PathFromFileText("\xC3\xA9\xE9"), "\xC3\x83\xC2\xA9\xC3\xA9");
}

}  // namespace
}  // namespace brelmont::win32::test
