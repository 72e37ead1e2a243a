// Whom a root run trusts with a path: the decision over what a walk saw, table by table, and the
// walk itself over real trees of several owners.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "hosts/posix/PathTrust.h"
#include "hosts/posix/PosixFileSystem.h"
#include "support/RuntimeError.h"
#include "tests/testkit/ScratchDirectory.h"

namespace brelmont::posix {

void PrintTo(const WalkStep& step, std::ostream* os) {
    *os << (step.link ? "link of " : "") << step.owner;
}
bool operator==(const WalkStep& a, const WalkStep& b) {
    return a.owner == b.owner && a.link == b.link;
}

namespace test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kUser = 4242;
constexpr uid_t kOther = 4343;

constexpr WalkStep Dir(uid_t owner) {
    return {owner, false};
}
constexpr WalkStep Link(uid_t owner) {
    return {owner, true};
}

TEST(ActingUid, FirstOwnerOtherThanRootOnTheNamingWalkThenOnThePathsOwn) {
    const struct {
        const char* name;
        std::vector<WalkStep> naming, walk;
        uid_t expected;
    } cases[] = {
        {"nothing walked", {}, {}, 0},
        {"root's folders only", {}, {Dir(0), Dir(0), Dir(0)}, 0},
        {"root's own prefix naming root's folder", {Dir(0), Dir(0)}, {Dir(0), Dir(0)}, 0},
        {"the user's prefix", {}, {Dir(0), Dir(0), Dir(kUser), Dir(kUser)}, kUser},
        {"the user's link to root's folder", {}, {Dir(0), Link(kUser), Dir(0), Dir(0)}, kUser},
        {"root's link in the user's folder", {}, {Dir(0), Dir(kUser), Link(0), Dir(0)}, kUser},
        {"the user's link to another's prefix",
         {},
         {Dir(0), Dir(kUser), Link(kUser), Dir(kOther)},
         kUser},
        {"root's sticky folder behind the user's link",
         {},
         {Dir(kUser), Link(kUser), Dir(0), Link(0), Dir(0)},
         kUser},
        {"naming file the user's, data in root's folder",
         {Dir(0), Dir(kUser), Dir(kUser)},
         {Dir(0), Dir(0)},
         kUser},
        {"naming file the user's, data in another's folder",
         {Dir(0), Dir(kUser)},
         {Dir(0), Dir(kOther)},
         kUser},
        {"naming file root's, data in another's folder", {Dir(0)}, {Dir(0), Dir(kOther)}, kOther},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ActingUid(c.naming, c.walk), c.expected);
    }
}

TEST(CredentialsOf, TheAccountsOwnGroupsOrNoneAtAll) {
    // No account entry: no group of anyone's, least of all that of the file it owns.
    const Credentials stranger = CredentialsOf(kUser);
    EXPECT_EQ(stranger.uid, kUser);
    EXPECT_EQ(stranger.gid, 65534u);
    EXPECT_TRUE(stranger.groups.empty());

    const Credentials root = CredentialsOf(0);
    EXPECT_EQ(root.uid, 0u);
    EXPECT_EQ(root.gid, 0u);
    EXPECT_NE(std::find(root.groups.begin(), root.groups.end(), gid_t{0}), root.groups.end());
}

// Real trees, owned as the cases say; only root may give files away.
class WalkPathTest : public ::testing::Test, public brelmont::testing::ScratchDirectory {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root to give files to other users";
        }
        fs::permissions(root, fs::perms(0755));
        // user/    the user's folder, holding their file and their links
        // other/   another user's folder
        // root/    root's folder, holding root's link
        Make("user", kUser);
        Make("user/file", kUser, false);
        Make("other", kOther);
        Make("other/secret", kOther);
        Make("root", 0);
        MakeLink("user/to-other", "../other", kUser);
        MakeLink("user/to-root", "../root", kUser);
        MakeLink("root/to-user", "../user", 0);
        MakeLink("user/loop", "loop", kUser);
        MakeLink("user/absolute", At("other"), kUser);
        base_ = WalkPath(root).size();
    }

    void Make(const std::string& name, uid_t owner, bool directory = true) {
        if (directory) {
            fs::create_directory(At(name));
        } else {
            brelmont::testing::WriteBytes(At(name), "x");
        }
        ASSERT_EQ(::lchown(At(name).c_str(), owner, owner), 0);
    }
    void MakeLink(const std::string& name, const std::string& target, uid_t owner) {
        fs::create_symlink(target, At(name));
        ASSERT_EQ(::lchown(At(name).c_str(), owner, owner), 0);
    }

    // The steps after those to the scratch directory itself.
    std::vector<WalkStep> Below(const std::string& relative) const {
        const std::vector<WalkStep> steps = WalkPath(At(relative));
        return {steps.begin() + static_cast<std::ptrdiff_t>(std::min(base_, steps.size())),
                steps.end()};
    }

    std::size_t base_ = 0;
};

TEST_F(WalkPathTest, SeesEveryOwnerOnTheWayLinksAndTheirTargetsAlike) {
    // A link's ".." is walked too: the folder it leads back to is a step of its own.
    const struct {
        const char* path;
        std::vector<WalkStep> expected;
    } cases[] = {
        {"user/file", {Dir(kUser), Dir(kUser)}},
        {"user/new", {Dir(kUser)}},
        {"user/file/beyond", {Dir(kUser), Dir(kUser)}},
        {"user/to-other/secret", {Dir(kUser), Link(kUser), Dir(0), Dir(kOther), Dir(kOther)}},
        {"user/to-root/x", {Dir(kUser), Link(kUser), Dir(0), Dir(0)}},
        {"root/to-user/file", {Dir(0), Link(0), Dir(0), Dir(kUser), Dir(kUser)}},
        {"user/../other", {Dir(kUser), Dir(0), Dir(kOther)}},
        {"user/to-other/../root", {Dir(kUser), Link(kUser), Dir(0), Dir(kOther), Dir(0), Dir(0)}},
        {"user/./file", {Dir(kUser), Dir(kUser)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Below(c.path), c.expected);
    }
}

TEST_F(WalkPathTest, AbsoluteTargetsLoopsAndRelativePathsAreWalkedWhole) {
    // An absolute target is walked from "/" again: the steps to the scratch directory repeat.
    const std::vector<WalkStep> absolute = Below("user/absolute/secret");
    ASSERT_GE(absolute.size(), 3u);
    EXPECT_EQ(absolute[1], Link(kUser));
    EXPECT_EQ(absolute.back(), Dir(kOther));
    EXPECT_EQ(ActingUid({}, absolute), kUser);

    // A loop ends the walk after the kernel's number of hops, not never.
    const std::vector<WalkStep> loop = Below("user/loop/x");
    EXPECT_EQ(loop.size(), 1u + 41u);

    // Relative paths start at the current directory, whose own owners count.
    const fs::path before = fs::current_path();
    fs::current_path(At("other"));
    const std::vector<WalkStep> relative = WalkPath("secret");
    fs::current_path(before);
    EXPECT_EQ(ActingUid({}, relative), kOther);
}

// What a user's file names is done as that user, even in root's folders; the same folders named by
// no one, or only sharing the text of a named one, stay root's.
TEST_F(WalkPathTest, WhatAUsersFileNamesIsDoneAsThatUser) {
    Make("root2", 0);
    PosixFileSystem files("/nonexistent-prefix");
    files.NamedBy(At("root"), At("user/file"));
    const struct {
        const char* file;
        std::int32_t error;
    } cases[] = {
        {"root/Launch.local", ErrorNumber::PermissionDenied},
        {"root/to-user/Launch.local", 0},
        {"root2/Launch.local", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(brelmont::testing::ErrorNumberOf([&] { files.ReplaceFile(At(c.file), "x"); }),
                  c.error);
        EXPECT_EQ(fs::exists(At(c.file)), c.error == 0);
    }
}

}  // namespace
}  // namespace test
}  // namespace brelmont::posix
