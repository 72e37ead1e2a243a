// Root runs of the real program against a Wine prefix that belongs to an ordinary user, who
// tries to make the run write where only root may: every attempt must fail with the documented
// status and leave root's files byte for byte, and the user's own setups must still work.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/reliability/Sandbox.h"

namespace brelmont::reliability {
namespace {

// Ordinary users that need no account: only the numbers matter to the kernel. Without an account
// entry a user's only group is the overflow group, so the group a file carries grants them nothing.
constexpr uid_t kUser = 4242;
constexpr gid_t kGroup = 4242;
constexpr uid_t kOther = 4343;  // the victim: another user with a prefix of their own
constexpr gid_t kNoGroup = 65534;

const std::string kVictimBytes = "root's own file\n";
const std::string kOthersBytes = kOtherBlocks + kSampleLoader;

void Give(const fs::path& path, uid_t owner, gid_t group) {
    ASSERT_EQ(::lchown(path.c_str(), owner, group), 0) << path;
}

void GiveToUser(const fs::path& path) {
    Give(path, kUser, kGroup);
}

void GiveTree(const fs::path& top, uid_t owner, gid_t group) {
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        Give(entry.path(), owner, group);
    }
    Give(top, owner, group);
}

// A link, as `owner` would have made it.
void LinkOf(uid_t owner, const fs::path& target, const fs::path& link) {
    fs::remove(link);
    fs::create_symlink(target, link);
    Give(link, owner, owner);
}

void UserLink(const fs::path& target, const fs::path& link) {
    LinkOf(kUser, target, link);
}

struct Machine;
void SetConf(const Machine& m, const std::string& dataDirectory);

struct Machine {
    Sandbox box;
    fs::path victim;      // a file of root's, beside the prefix
    fs::path rootOwned;   // a folder of root's, beside the prefix
    fs::path othersData;  // the other user's private data directory, in their own prefix
    std::string victimBytes = kVictimBytes;

    Machine()
        : victim(box.root / "victim"),
          rootOwned(box.root / "rootdir"),
          othersData(box.root / "other" / "drive_c" / "ProgramData" / "Kelvane") {
        // The sandbox's root is private to root; the users must be able to pass through it.
        fs::permissions(box.root, fs::perms(0755));
        WriteBytes(victim, kVictimBytes);
        fs::create_directory(rootOwned);
        GiveTree(box.prefix, kUser, kGroup);
        // The other user's prefix: readable as a home folder often is, the data kept private.
        const fs::path others = box.root / "other";
        fs::create_directories(others / "drive_c" / "Program Files" / "Kelvane");
        fs::create_directories(othersData);
        WriteBytes(others / "drive_c" / "Program Files" / "Kelvane" / "Kelvane.conf",
                   "[Main]\r\nDATADIR=C:\\ProgramData\\Kelvane\r\n");
        WriteBytes(othersData / "Launch.local", kOthersBytes);
        GiveTree(others, kOther, kOther);
        fs::permissions(othersData, fs::perms(0700));
        fs::permissions(othersData / "Launch.local", fs::perms(0600));
    }
};

// Kelvane.conf naming `dataDirectory`, as its owner (the user) would write it.
void SetConf(const Machine& m, const std::string& dataDirectory) {
    WriteBytes(m.box.kelvane / "Kelvane.conf", "[Main]\r\nDATADIR=" + dataDirectory + "\r\n");
}

std::uint32_t OwnerOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_uid;
}

struct Attack {
    const char* name;
    const char* action;
    std::function<void(Machine&)> arrange;
    int exit;
    std::vector<std::string> shown;
    // What must hold afterwards, beyond root's files being untouched.
    std::function<void(const Machine&)> check = nullptr;
};

void PrintTo(const Attack& c, std::ostream* os) {
    *os << c.name;
}

class PrivilegedRun : public ::testing::TestWithParam<Attack> {};

TEST_P(PrivilegedRun, DoesNoMoreThanTheOwnerCould) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "runs only as root: it checks what a root run may write";
    }
    const Attack& c = GetParam();
    Machine machine;
    c.arrange(machine);

    const Finished run =
        RunProgram(machine.box,
                   Start{.arguments = {std::string(c.action) + "," + machine.box.loader.string()}});

    EXPECT_EQ(run.exit, c.exit) << run.out << run.err;
    for (const std::string& text : c.shown) {
        EXPECT_NE((run.out + run.err).find(text), std::string::npos) << text << "\n" << run.out;
    }
    EXPECT_EQ(ReadBytes(machine.victim), machine.victimBytes);
    EXPECT_TRUE(fs::is_empty(machine.rootOwned));
    EXPECT_EQ(ReadBytes(machine.othersData / "Launch.local"), kOthersBytes);
    if (c.check) {
        c.check(machine);
    }
}

const Attack kAttacks[] = {
    {"LinkToRootsFileInstall",
     "install",
     [](Machine& m) { UserLink(m.victim, m.box.launch); },
     4,
     {"Result = 70"}},
    {"LinkToRootsFileRemoval",
     "uinstall",
     [](Machine& m) {
         m.victimBytes = kOtherBlocks + kSampleLoader;
         WriteBytes(m.victim, m.victimBytes);
         UserLink(m.victim, m.box.launch);
     },
     4,
     {"Result = 70"}},
    {"DanglingLinkIntoRootsFolder",
     "install",
     [](Machine& m) { UserLink(m.rootOwned / "new", m.box.launch); },
     4,
     {"Result = 70"}},
    {"DataDirectoryEscapingThePrefix",
     "install",
     [](Machine& m) { SetConf(m, "C:\\..\\..\\rootdir"); },
     4,
     {"Result = 70"}},
    // The user's Kelvane.conf is the user's word, wherever the path it holds leads.
    {"DataDirectoryInRootsFolderByHostPath",
     "install",
     [](Machine& m) { SetConf(m, m.rootOwned.string()); },
     4,
     {"Result = 70"}},
    {"DataDirectoryInRootsFolderWithBackslashes",
     "install",
     [](Machine& m) {
         std::string path = m.rootOwned.string();
         std::replace(path.begin(), path.end(), '/', '\\');
         SetConf(m, path);
     },
     4,
     {"Result = 70"}},
    {"DataDirectoryInAnotherUsersPrivateData",
     "uinstall",
     [](Machine& m) { SetConf(m, m.othersData.string()); },
     4,
     {"could not be locked (Permission denied)", "Result = 70"}},
    // Not a relative path from root's working folder (the sandbox's root, where the user put a
    // "Q:" of their own): a drive the prefix lacks is no path at all.
    {"DataDirectoryOnADriveThePrefixLacks",
     "install",
     [](Machine& m) {
         fs::create_directory(m.box.root / "Q:");
         UserLink(m.rootOwned, m.box.root / "Q:" / "x");
         SetConf(m, "Q:\\x");
     },
     4,
     {"Path not found", "Result = 76"}},
    // The prefix the installer was given is the user's link to a root-owned sticky folder, whose
    // data directory is root's link to root's folder: everything past the user's link is root's.
    {"PrefixLinkedToRootsStickyFolder",
     "install",
     [](Machine& m) {
         const fs::path sticky = m.box.root / "sticky";
         fs::rename(m.box.prefix, sticky);
         GiveTree(sticky, 0, 0);
         fs::permissions(sticky, fs::perms(01777));
         fs::remove_all(sticky / "drive_c" / "KelvaneData");
         LinkOf(0, m.rootOwned, sticky / "drive_c" / "KelvaneData");
         UserLink(sticky, m.box.prefix);
     },
     4,
     {"Result = 70"}},
    {"PrefixLinkedToAnotherUsersPrefix",
     "uinstall",
     [](Machine& m) {
         fs::remove_all(m.box.prefix);
         UserLink(m.box.root / "other", m.box.prefix);
     },
     4,
     {"could not be locked (Permission denied)", "Result = 70"}},
    // The folder's group is one the user is in (their only one), and it is denied what others may.
    {"FolderDenyingTheUsersGroup",
     "uinstall",
     [](Machine& m) {
         WriteBytes(m.box.launch, kOtherBlocks + kSampleLoader);
         Give(m.box.data, 0, kNoGroup);
         fs::permissions(m.box.data, fs::perms(0707));
     },
     4,
     {"could not be locked (Permission denied)", "Result = 70"},
     [](const Machine& m) { EXPECT_EQ(ReadBytes(m.box.launch), kOtherBlocks + kSampleLoader); }},
    // A prefix made in a set-group-id folder carries that folder's group, which the user is not
    // in; a folder only that group may write stays closed to them.
    {"PrefixGroupTheUserIsNotIn",
     "uinstall",
     [](Machine& m) {
         WriteBytes(m.box.launch, kOtherBlocks + kSampleLoader);
         GiveTree(m.box.prefix, kUser, kOther);
         Give(m.box.data, 0, kOther);
         fs::permissions(m.box.data, fs::perms(0070));
     },
     4,
     {"could not be locked (Permission denied)", "Result = 70"},
     [](const Machine& m) { EXPECT_EQ(ReadBytes(m.box.launch), kOtherBlocks + kSampleLoader); }},
    // A link of root's in the user's folder, as a hard link to one would be where
    // protected_hardlinks is off: root made no such link for the user, so it is not followed.
    {"RootsLinkInTheUsersFolder",
     "uinstall",
     [](Machine& m) {
         m.victimBytes = kOtherBlocks + kSampleLoader;
         WriteBytes(m.victim, m.victimBytes);
         LinkOf(0, m.victim, m.box.launch);
     },
     5,
     {"Permission denied"}},
    {"LogLinkedToRootsFile",
     "install",
     [](Machine& m) {
         GiveToUser(m.box.bin / "logs");
         UserLink(m.victim, m.box.bin / "logs" / "Brelmont.log");
     },
     0,
     {"Added this Addon to Launch.Local"}},
    {"FifoInPlaceOfLaunchLocal",
     "install",
     [](Machine& m) {
         fs::remove(m.box.launch);
         ASSERT_EQ(::mkfifo(m.box.launch.c_str(), 0644), 0);
         GiveToUser(m.box.launch);
     },
     4,
     {"Result = 75"}},
    {"HugeSparseLaunchLocal",
     "uinstall",
     [](Machine& m) { fs::resize_file(m.box.launch, (std::uintmax_t{2} << 30) + 1); },
     4,
     {"it is larger than 1 GiB", "Result = 7"},
     [](const Machine& m) {
         EXPECT_EQ(fs::file_size(m.box.launch), (std::uintmax_t{2} << 30) + 1);
     }},
    // The user's own setups keep working.
    // Made as the user, with the user's own group: not the group of some folder on the way.
    {"NewLaunchLocalBelongsToTheUser",
     "install",
     [](Machine& m) { fs::remove(m.box.launch); },
     0,
     {"Added this Addon to Launch.Local"},
     [](const Machine& m) {
         struct stat status {};
         ASSERT_EQ(::stat(m.box.launch.c_str(), &status), 0);
         EXPECT_EQ(status.st_uid, kUser);
         EXPECT_EQ(status.st_gid, kNoGroup);
     }},
    {"UsersOwnSecondDrive",
     "install",
     [](Machine& m) {
         const fs::path elsewhere = m.box.root / "userdata";
         fs::create_directory(elsewhere);
         WriteBytes(elsewhere / "Launch.local", kOtherBlocks);
         GiveTree(elsewhere, kUser, kGroup);
         const fs::path devices = m.box.prefix / "dosdevices";
         fs::create_directory(devices);
         GiveToUser(devices);
         UserLink("../drive_c", devices / "c:");
         UserLink(elsewhere, devices / "d:");
         SetConf(m, "D:\\");
     },
     0,
     {"Added this Addon to Launch.Local"},
     [](const Machine& m) {
         const fs::path launch = m.box.root / "userdata" / "Launch.local";
         EXPECT_EQ(ReadBytes(launch), Added(kOtherBlocks, kSampleLoader));
         EXPECT_EQ(OwnerOf(launch), kUser);
     }},
    // Root's own prefix, all of it root's, is root's to edit as root.
    {"RootsOwnPrefix",
     "install",
     [](Machine& m) {
         GiveTree(m.box.prefix, 0, 0);
         fs::remove(m.box.launch);
     },
     0,
     {"Added this Addon to Launch.Local"},
     [](const Machine& m) {
         EXPECT_EQ(ReadBytes(m.box.launch), Added("", kSampleLoader));
         EXPECT_EQ(OwnerOf(m.box.launch), 0u);
     }},
    {"UsersOwnLinkIsFollowed",
     "install",
     [](Machine& m) {
         const fs::path real = m.box.prefix / "drive_c" / "Launch.real";
         WriteBytes(real, kOtherBlocks);
         GiveToUser(real);
         UserLink(real, m.box.launch);
     },
     0,
     {"Added this Addon to Launch.Local"},
     [](const Machine& m) {
         EXPECT_TRUE(fs::is_symlink(m.box.launch));
         EXPECT_EQ(ReadBytes(m.box.prefix / "drive_c" / "Launch.real"),
                   Added(kOtherBlocks, kSampleLoader));
     }},
    {"UsersOwnFileIsReplacedAndStaysTheirs",
     "uinstall",
     [](Machine& m) {
         WriteBytes(m.box.launch, kOtherBlocks + kSampleLoader);
         fs::permissions(m.box.launch, fs::perms(0600));
     },
     0,
     {"Addon settings removed"},
     [](const Machine& m) {
         struct stat status {};
         ASSERT_EQ(::stat(m.box.launch.c_str(), &status), 0);
         EXPECT_EQ(status.st_uid, kUser);
         EXPECT_EQ(status.st_mode & 07777, 0600u);
         EXPECT_EQ(ReadBytes(m.box.launch), kOtherBlocks);
     }},
    // Set-id bits are not carried over. Where the run acts as a user the kernel clears them at
    // the first write anyway; root, acting as itself in its own prefix, keeps what it sets.
    {"SetIdBitsAreNotCopied",
     "uinstall",
     [](Machine& m) {
         GiveTree(m.box.prefix, 0, 0);
         WriteBytes(m.box.launch, kOtherBlocks + kSampleLoader);
         ASSERT_EQ(::chmod(m.box.launch.c_str(), 06755), 0);
     },
     0,
     {"Addon settings removed"},
     [](const Machine& m) {
         struct stat status {};
         ASSERT_EQ(::stat(m.box.launch.c_str(), &status), 0);
         EXPECT_EQ(status.st_mode & 07777, 0755u);
         EXPECT_EQ(ReadBytes(m.box.launch), kOtherBlocks);
     }},
};

INSTANTIATE_TEST_SUITE_P(Attacks, PrivilegedRun, ::testing::ValuesIn(kAttacks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::reliability
