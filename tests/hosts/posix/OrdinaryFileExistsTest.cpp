#include <gtest/gtest.h>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

namespace fs = std::filesystem;

class OrdinaryFileExistsTest : public ScratchDirectoryTest {
  protected:
    OrdinaryFileExistsTest() {
        for (const char* file : {"Kelvane.conf", ".hidden.conf", "br[a].txt"}) {
            WriteBytes(At(file), "x");
        }
        fs::create_directories(At("plugins.d"));
        fs::create_directories(At("onlyhidden"));
        WriteBytes(At("onlyhidden/.x"), "x");
        fs::create_symlink("Kelvane.conf", At("link-file"));
        fs::create_directory_symlink("plugins.d", At("link-dir"));
        fs::create_symlink("absent", At("dangling"));
    }
};

TEST_F(OrdinaryFileExistsTest, MatchesOnlyVisibleRegularFiles) {
    const std::pair<const char*, bool> cases[] = {
        {"Kelvane.conf", true},
        {"plugins.d", false},
        {".hidden.conf", false},
        {"*.conf", true},
        {"Kelvane.co?f", true},
        {"K?lvane.c?", false},
        {"*.d", false},
        {"*hidden*", false},
        {"onlyhidden/*", false},
        {"br[a]*.txt", true},
        {"link-file", true},
        {"link-f*", true},
        {"link-dir", false},
        {"dangling", false},
        {"dangl*", false},
        {"absent", false},
        {"missing/Kelvane.conf", false},
        {"missing/*.conf", false},
        {"Kelvane.conf/x", false},
        {"Kelvane.conf/*", false},
        {"plugins.?/../Kelvane.conf", false},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(files.OrdinaryFileExists(At(path)), expected);
    }
    EXPECT_FALSE(files.OrdinaryFileExists(""));
}

TEST_F(OrdinaryFileExistsTest, FailedLookupThrows) {
    fs::create_symlink("loop-b", At("loop-a"));
    fs::create_symlink("loop-a", At("loop-b"));
    EXPECT_EQ(ErrorNumberOf([&] { files.OrdinaryFileExists(At("loop-a/Kelvane.conf")); }), 75);
    EXPECT_EQ(ErrorNumberOf([&] { files.OrdinaryFileExists(At("loop-a/*.conf")); }), 75);
}

}  // namespace
}  // namespace brelmont::posix::test
