// Root runs of the real program against a Wine prefix that belongs to an ordinary user, who
// tries to make the run write where only root may: every attempt must fail with the documented
// status and leave root's files byte for byte, and the user's own setups must still work.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/reliability/Sandbox.h"

namespace brelmont::reliability {
namespace {

// An ordinary user that needs no account: only the numbers matter to the kernel.
constexpr uid_t kUser = 4242;
constexpr gid_t kGroup = 4242;

const std::string kVictimBytes = "root's own file\n";

void GiveToUser(const fs::path& path) {
    ASSERT_EQ(::lchown(path.c_str(), kUser, kGroup), 0) << path;
}

// The user's link, as the user would have made it.
void UserLink(const fs::path& target, const fs::path& link) {
    fs::remove(link);
    fs::create_symlink(target, link);
    GiveToUser(link);
}

struct Machine {
    Sandbox box;
    fs::path victim;     // a file of root's, beside the prefix
    fs::path rootOwned;  // a folder of root's, beside the prefix
    std::string victimBytes = kVictimBytes;

    Machine() : victim(box.root / "victim"), rootOwned(box.root / "rootdir") {
        // The sandbox's root is private to root; the user must be able to pass through it.
        fs::permissions(box.root, fs::perms(0755));
        WriteBytes(victim, kVictimBytes);
        fs::create_directory(rootOwned);
        for (const auto& entry : fs::recursive_directory_iterator(box.prefix)) {
            GiveToUser(entry.path());
        }
        GiveToUser(box.prefix);
    }
};

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
     [](Machine& m) {
         const std::string escape = "C:\\..\\..\\rootdir";
         WriteBytes(m.box.kelvane / "Kelvane.conf", "[Main]\r\nDATADIR=" + escape + "\r\n");
     },
     4,
     {"Result = 70"}},
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
    {"NewLaunchLocalBelongsToTheFoldersOwner",
     "install",
     [](Machine& m) { fs::remove(m.box.launch); },
     0,
     {"Added this Addon to Launch.Local"},
     [](const Machine& m) {
         struct stat status {};
         ASSERT_EQ(::stat(m.box.launch.c_str(), &status), 0);
         EXPECT_EQ(status.st_uid, kUser);
         EXPECT_EQ(status.st_gid, kGroup);
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
};

INSTANTIATE_TEST_SUITE_P(Attacks, PrivilegedRun, ::testing::ValuesIn(kAttacks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::reliability
