// What another process may do to Launch.local between the program's read and its replace, staged
// at that moment through the replace's hook rather than left to timing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
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
        {"another file renamed over it",
         [](ReplaceAfterReadTest& t) {
             WriteBytes(t.At("other"), "other");
             std::filesystem::rename(t.At("other"), t.At("Launch.local"));
         },
         ErrorNumber::PathFileAccessError, "other"},
        {"a link swapped in",
         [](ReplaceAfterReadTest& t) {
             WriteBytes(t.At("target"), "target");
             std::filesystem::remove(t.At("Launch.local"));
             std::filesystem::create_symlink(t.At("target"), t.At("Launch.local"));
         },
         ErrorNumber::PathFileAccessError, "target"},
        {"removed", [](ReplaceAfterReadTest& t) { std::filesystem::remove(t.At("Launch.local")); },
         ErrorNumber::PathFileAccessError, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(At("Launch.local"));
        std::filesystem::remove(At("target"));
        WriteBytes(At("Launch.local"), "old");
        ASSERT_EQ(files.ReadFile(At("Launch.local"), 3), "old");
        files.BeforeReplace([&] { c.meanwhile(*this); });
        EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), "new"); }), c.number);
        files.BeforeReplace(nullptr);
        EXPECT_EQ(ReadBytes(At("Launch.local")), c.launchAfter);
        const std::set<std::string> left = Entries(root);
        EXPECT_TRUE(std::none_of(left.begin(), left.end(),
                                 [](const std::string& name) { return name.starts_with("."); }));
    }
}

// A file that was absent when the program looked, and appears before the new one goes in place,
// is somebody else's: it stays.
TEST_F(ReplaceAfterReadTest, NeverCreatesOverAFileThatAppeared) {
    EXPECT_EQ(files.OrdinaryFileExists(At("Launch.local")), false);
    files.BeforeReplace([&] { WriteBytes(At("Launch.local"), "theirs"); });
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), "new"); }),
              ErrorNumber::PathFileAccessError);
    EXPECT_EQ(ReadBytes(At("Launch.local")), "theirs");
}

}  // namespace
}  // namespace brelmont::posix::test
