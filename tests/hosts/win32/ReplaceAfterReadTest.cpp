// What another process may do to Launch.local between the program's read and its replace, staged
// at that moment through the replace's hook rather than left to timing.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/hosts/win32/FileSystemFixture.h"

namespace brelmont::win32::test {
namespace {

class ReplaceAfterReadTest : public ScratchDirectoryTest {};

TEST_F(ReplaceAfterReadTest, ReplacesOnlyTheFileThatWasRead) {
    const struct {
        const char* name;
        std::function<void(ReplaceAfterReadTest&)> meanwhile;
        std::int32_t number;      // 0: replaced
        const char* launchAfter;  // what the name leads to afterwards
    } cases[] = {
        {"nothing", [](ReplaceAfterReadTest&) {}, 0, "new"},
        {"another file moved over it",
         [](ReplaceAfterReadTest& t) {
             WriteBytes(t.At("other"), "other");
             std::filesystem::rename(t.At("other"), t.At("Launch.local"));
         },
         ErrorNumber::PathFileAccessError, "other"},
        {"removed", [](ReplaceAfterReadTest& t) { std::filesystem::remove(t.At("Launch.local")); },
         ErrorNumber::PathFileAccessError, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(At("Launch.local"), "old");
        ASSERT_EQ(files.ReadFile(At("Launch.local"), 3), "old");
        files.BeforeReplace([&] { c.meanwhile(*this); });
        EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), "new"); }), c.number);
        files.BeforeReplace(nullptr);
        EXPECT_EQ(ReadBytes(At("Launch.local")), c.launchAfter);
        EXPECT_EQ(Entries(root).size(), std::string(c.launchAfter).empty() ? 0u : 1u);
    }
}

// A file that was absent when the program looked, and appears before the new one goes in place,
// is somebody else's: it stays.
TEST_F(ReplaceAfterReadTest, NeverCreatesOverAFileThatAppeared) {
    EXPECT_FALSE(files.OrdinaryFileExists(At("Launch.local")));
    files.BeforeReplace([&] { WriteBytes(At("Launch.local"), "theirs"); });
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), "new"); }),
              ErrorNumber::PathFileAccessError);
    EXPECT_EQ(ReadBytes(At("Launch.local")), "theirs");
}

// The session log is never written through a link someone else may have put there.
TEST_F(ReplaceAfterReadTest, TheLogIsNeverAppendedThroughALink) {
    // Wine makes its links as the host's links and opens through them whatever the flags say.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr) {
        GTEST_SKIP() << "Wine follows its links even when asked to open the link itself";
    }
    WriteBytes(At("target"), "target");
    if (!::CreateSymbolicLinkA(At("Brelmont.log").c_str(), At("target").c_str(), 0)) {
        GTEST_SKIP() << "no symbolic links here";
    }
    EXPECT_NE(ErrorNumberOf([&] { files.AppendToFile(At("Brelmont.log"), "line\r\n"); }), 0);
    EXPECT_EQ(ReadBytes(At("target")), "target");
}

}  // namespace
}  // namespace brelmont::win32::test
