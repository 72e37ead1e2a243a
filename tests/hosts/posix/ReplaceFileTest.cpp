#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ScratchDirectoryTest {};

TEST_F(ReplaceFileTest, EveryByteValueSurvivesTheRoundTrip) {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    files.ReplaceFile(At("bytes"), bytes);
    EXPECT_EQ(ReadBytes(At("bytes")), bytes);
    EXPECT_EQ(files.ReadFile(At("bytes"), files.FileLength(At("bytes"))), bytes);
}

TEST_F(ReplaceFileTest, LeavesExactlyTheNewBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "[Addons]\r\n"},  // no file before
        {std::string(5000, 'o'), "short"},
        {"short", std::string(5000, 'n')},
        {"old contents", ""},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before.size());
        fs::remove(At("Launch.local"));
        if (!before.empty()) {
            WriteBytes(At("Launch.local"), before);
        }
        files.ReplaceFile(At("Launch.local"), after);
        EXPECT_EQ(ReadBytes(At("Launch.local")), after);
        EXPECT_EQ(Entries(root), std::set<std::string>{"Launch.local"});
    }
}

// A killed run's temporary file goes with the next replace once it is old; a young one may be a
// live run's, and other names are never touched.
TEST_F(ReplaceFileTest, RemovesOnlyTemporaryFilesLongAbandoned) {
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const struct {
        std::string name;
        bool old;
        bool stays;
    } cases[] = {
        {".Launch.local.brelmont-a1b2c3", true, false},
        {".Launch.local.brelmont-d4e5f6", false, true},
        {".Launch.local.brelmont-toolong", true, true},
        {".Other.local.brelmont-a1b2c3", true, true},
        {"Launch.local.brelmont-a1b2c3", true, true},
    };
    std::set<std::string> expected{"Launch.local"};
    for (const auto& c : cases) {
        WriteBytes(At(c.name), "left");
        if (c.old) {
            fs::last_write_time(At(c.name), longAgo);
        }
        if (c.stays) {
            expected.insert(c.name);
        }
    }
    files.ReplaceFile(At("Launch.local"), "new");
    EXPECT_EQ(Entries(root), expected);
    EXPECT_EQ(ReadBytes(At("Launch.local")), "new");
}

TEST_F(ReplaceFileTest, RefusesWhatIsNoFileWithoutTouchingIt) {
    fs::create_directories(At("Launch.local/inside"));
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), "x"); }), 75);
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local/"), "x"); }), 75);
    EXPECT_EQ(Entries(At("Launch.local")), std::set<std::string>{"inside"});
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("missing/Launch.local"), "x"); }), 76);
    EXPECT_EQ(Entries(root), std::set<std::string>{"Launch.local"});
}

TEST_F(ReplaceFileTest, FollowsLinksAndKeepsThem) {
    fs::create_directory(At("real"));
    const struct {
        std::string link, chained;  // chained: the link names a second link to this
        bool targetExists;
    } cases[] = {
        {"real/Launch.txt", "", true},
        {At("real/Launch.txt"), "", true},
        {"real/Launch.txt", "", false},
        {"second", "real/Launch.txt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link + " " + c.chained);
        for (const char* name : {"Launch.local", "second", "real/Launch.txt"}) {
            fs::remove(At(name));
        }
        fs::create_symlink(c.link, At("Launch.local"));
        if (!c.chained.empty()) {
            fs::create_symlink(c.chained, At("second"));
        }
        if (c.targetExists) {
            WriteBytes(At("real/Launch.txt"), "old");
        }
        files.ReplaceFile(At("Launch.local"), "new");
        EXPECT_TRUE(fs::is_symlink(At("Launch.local")));
        EXPECT_EQ(ReadBytes(At("real/Launch.txt")), "new");
        EXPECT_EQ(Entries(At("real")), std::set<std::string>{"Launch.txt"});
    }
}

// A link that neither the folder's owner nor the running user made could point anywhere: neither
// read nor written through. Only root can make a link that is another user's.
TEST_F(ReplaceFileTest, RefusesALinkOfAnotherUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a link to another user";
    }
    WriteBytes(At("target"), "old");
    fs::create_symlink(At("target"), At("Launch.local"));
    ASSERT_EQ(::lchown(At("Launch.local").c_str(), 4242, 4242), 0);
    EXPECT_EQ(ErrorNumberOf([&] { files.ReadFile(At("Launch.local"), 3); }),
              ErrorNumber::PermissionDenied);
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), "new"); }),
              ErrorNumber::PermissionDenied);
    EXPECT_EQ(ReadBytes(At("target")), "old");
    EXPECT_EQ(Entries(root), (std::set<std::string>{"Launch.local", "target"}));
}

TEST_F(ReplaceFileTest, KeepsPermissionBitsOrTakesTheUmask) {
    const mode_t savedMask = ::umask(027);
    WriteBytes(At("kept"), "old");
    fs::permissions(At("kept"), static_cast<fs::perms>(0604));
    files.ReplaceFile(At("kept"), "new");
    files.ReplaceFile(At("fresh"), "new");
    ::umask(savedMask);
    EXPECT_EQ(PermissionBits(At("kept")), 0604u);
    EXPECT_EQ(PermissionBits(At("fresh")), 0640u);
}

}  // namespace
}  // namespace brelmont::posix::test
