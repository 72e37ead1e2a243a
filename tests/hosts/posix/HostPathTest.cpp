#include <gtest/gtest.h>

#include <functional>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

namespace fs = std::filesystem;

class HostPathTest : public ScratchDirectoryTest {
  protected:
    HostPathTest() {
        fs::create_directories(At("wine/drive_c/Kelvane"));
        fs::create_directories(At("wine/dosdevices"));
        fs::create_directory_symlink("../drive_c", At("wine/dosdevices/c:"));
        // An unmounted disc: the entry is there, its target is not.
        fs::create_directory_symlink("/nonexistent/cdrom", At("wine/dosdevices/d:"));
        fs::create_directories(At("bare/drive_c"));
        fs::create_directories(At("wine/drive_c/ProgramData/Kelvane"));
        WriteBytes(At("wine/drive_c/ProgramData/Kelvane/launch.local"), "");
        fs::create_directories(At("wine/drive_c/Both"));
        WriteBytes(At("wine/drive_c/Both/launch.local"), "");
        WriteBytes(At("wine/drive_c/Both/Launch.local"), "");
    }
};

TEST_F(HostPathTest, MapsDrivesThroughThePrefix) {
    const std::string wine = At("wine");
    const std::string bare = At("bare");
    const struct {
        std::string prefix, path, expected;
    } cases[] = {
        {wine, "C:\\Kelvane\\Launch.local", wine + "/dosdevices/c:/Kelvane/Launch.local"},
        {wine, "c:\\Kelvane", wine + "/dosdevices/c:/Kelvane"},
        {wine + "/", "C:\\x", wine + "/dosdevices/c:/x"},
        {wine, "D:\\setup.exe", wine + "/dosdevices/d:/setup.exe"},
        {wine, "C:x", wine + "/dosdevices/c:/x"},
        {wine, "E:\\x", "E:/x"},
        {bare, "C:\\Kelvane\\Launch.local", bare + "/drive_c/Kelvane/Launch.local"},
        {bare, "d:\\x", "d:/x"},
        {wine, "logs\\Brelmont.log", "logs/Brelmont.log"},
        {wine, "\\\\server\\share", "//server/share"},
        {wine, "x\\C:\\y", "x/C:/y"},
        {wine, "1:\\x", "1:/x"},
        // Names are looked up as Wine looks them up: the spelling on disk wins, the exact one
        // first; names past the first that is missing stay as written.
        {wine, "c:\\programdata\\KELVANE\\Launch.local",
         wine + "/dosdevices/c:/ProgramData/Kelvane/launch.local"},
        {wine, "C:\\ProgramData\\kelvane\\new\\programdata",
         wine + "/dosdevices/c:/ProgramData/Kelvane/new/programdata"},
        {wine, "C:\\both\\launch.local", wine + "/dosdevices/c:/Both/launch.local"},
        {wine, "C:\\both\\LAUNCH.LOCAL", wine + "/dosdevices/c:/Both/Launch.local"},
        {wine, "C:\\programdata\\kelvane\\*.LOCAL",
         wine + "/dosdevices/c:/ProgramData/Kelvane/*.LOCAL"},
        {wine, "C:\\ProgramData\\..\\programdata\\",
         wine + "/dosdevices/c:/ProgramData/../ProgramData/"},
        {bare, "c:\\programdata", bare + "/drive_c/programdata"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix + " | " + c.path);
        EXPECT_EQ(PosixFileSystem(c.prefix).HostPath(c.path), c.expected);
    }
}

// A browse dialog's answer on the host, turned back into the form of the program's other paths.
TEST_F(HostPathTest, MapsChosenDirectoriesBackToDrives) {
    // No Z: here: a prefix made by hand, or one whose Z: was removed to sandbox it.
    fs::create_directories(At("sandboxed/dosdevices"));
    fs::create_directories(At("sandboxed/drive_c"));
    fs::create_directory_symlink(At("wine/drive_c"), At("sandboxed/dosdevices/e:"));
    const std::string sandboxed = At("sandboxed");
    fs::create_directory_symlink("/", At("wine/dosdevices/z:"));
    const std::string wine = At("wine");
    const std::string bare = At("bare");
    const struct {
        std::string prefix, hostPath, expected;
    } cases[] = {
        {wine, wine + "/drive_c/Kelvane", "C:\\Kelvane"},
        {wine, wine + "/drive_c/Kelvane/", "C:\\Kelvane"},
        {wine, wine + "/drive_c", "C:\\"},
        {wine, wine + "/dosdevices/c:/Kelvane", "C:\\Kelvane"},
        {wine, "/nonexistent/cdrom/setup", "D:\\setup"},
        {wine, "/opt/Wexo Packet", "Z:\\opt\\Wexo Packet"},
        {wine, "/", "Z:\\"},
        {bare, bare + "/drive_c/Kelvane", "C:\\Kelvane"},
        {bare, "/opt/Kelvane", "/opt/Kelvane"},
        {bare, "/opt/Kelvane/", "/opt/Kelvane"},
        {sandboxed, sandboxed + "/drive_c/Kelvane", "C:\\Kelvane"},
        {sandboxed, wine + "/drive_c/Kelvane", "E:\\Kelvane"},
        {sandboxed, "/opt/Kelvane", "/opt/Kelvane"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix + " | " + c.hostPath);
        EXPECT_EQ(PosixFileSystem(c.prefix).ProgramPath(c.hostPath), c.expected);
    }
}

TEST_F(HostPathTest, FileOperationsUseTheHostForm) {
    PosixFileSystem wine(At("wine"));
    wine.ReplaceFile("C:\\Kelvane\\Launch.local", "[Addons]\r\n");
    EXPECT_EQ(ReadBytes(At("wine/drive_c/Kelvane/Launch.local")), "[Addons]\r\n");
    EXPECT_TRUE(wine.OrdinaryFileExists("c:\\Kelvane\\Launch.*"));
    EXPECT_EQ(wine.FileLength("C:\\Kelvane\\Launch.local"), 10u);
    EXPECT_TRUE(wine.IsDirectory("C:\\Kelvane\\"));
}

// A drive the prefix lacks names no place: left as it is, "E:/x" would be a path relative to
// whatever the current directory holds.
TEST_F(HostPathTest, DrivesThePrefixLacksAreNoPath) {
    PosixFileSystem wine(At("wine"));
    fs::create_directories(At("E:/x"));
    WriteBytes(At("E:/x/Launch.local"), "planted");
    const fs::path before = fs::current_path();
    fs::current_path(root);
    const struct {
        const char* name;
        std::function<void()> action;
    } cases[] = {
        {"exists", [&] { wine.OrdinaryFileExists("E:\\x\\Launch.local"); }},
        {"length", [&] { wine.FileLength("E:\\x\\Launch.local"); }},
        {"read", [&] { wine.ReadFile("e:\\x\\Launch.local", 1); }},
        {"replace", [&] { wine.ReplaceFile("E:\\x\\Launch.local", "new"); }},
        {"append", [&] { wine.AppendToFile("E:\\x\\Launch.local", "new"); }},
        {"lock", [&] { wine.LockDirectory("E:\\x\\"); }},
        {"change directory", [&] { wine.ChangeDirectory("E:\\x"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorNumberOf(c.action), ErrorNumber::PathNotFound);
    }
    EXPECT_FALSE(wine.IsDirectory("E:\\x"));
    fs::current_path(before);
    EXPECT_EQ(ReadBytes(At("E:/x/Launch.local")), "planted");
}

}  // namespace
}  // namespace brelmont::posix::test
