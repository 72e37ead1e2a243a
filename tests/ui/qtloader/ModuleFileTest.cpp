// The module holds code that a root run executes: which files may be loaded, and which one is.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/testkit/ScratchDirectory.h"
#include "ui/qtloader/ModuleFile.h"
#include "ui/qtloader/ModuleUnavailable.h"

namespace brelmont::qtloader {
namespace {

constexpr uid_t kRoot = 0;
constexpr uid_t kProgramOwner = 1000;
constexpr uid_t kSomeoneElse = 1001;

struct Attributes {
    const char* name;
    uid_t owner;
    mode_t mode;
    uid_t programOwner;
    std::string refusal;  // empty: may be loaded
};

TEST(ModuleFileRefusal, TrustsRootAndTheProgramsOwnerWhileNobodyElseMayWrite) {
    const std::string stranger = "belongs to user 1001, neither root nor the program's owner";
    const std::string shared = "may be written by others than its owner";
    const std::vector<Attributes> cases = {
        {"root's", kRoot, S_IFREG | 0755, kProgramOwner, ""},
        {"the program owner's", kProgramOwner, S_IFREG | 0644, kProgramOwner, ""},
        {"root's for a program of root's", kRoot, S_IFREG | 0700, kRoot, ""},
        {"another user's", kSomeoneElse, S_IFREG | 0755, kProgramOwner, stranger},
        {"a user's for a program of root's", kSomeoneElse, S_IFREG | 0755, kRoot, stranger},
        {"world-writable", kRoot, S_IFREG | 0757, kProgramOwner, shared},
        {"group-writable", kProgramOwner, S_IFREG | 0775, kProgramOwner, shared},
        {"a directory", kRoot, S_IFDIR | 0755, kProgramOwner, "is not a regular file"},
        {"a FIFO", kRoot, S_IFIFO | 0644, kProgramOwner, "is not a regular file"},
    };
    for (const Attributes& c : cases) {
        EXPECT_EQ(ModuleFileRefusal(c.owner, c.mode, c.programOwner), c.refusal) << c.name;
    }
}

std::string Reason(const std::vector<std::string>& candidates, uid_t programOwner) {
    try {
        return "opened " + OpenTrustedModule(candidates, programOwner).path;
    } catch (const ModuleUnavailable& unavailable) {
        return unavailable.what();
    }
}

// The first candidate that exists decides; one refused is not passed over for the next.
TEST(OpenTrustedModule, TakesTheFirstThatExistsAndOpensNothingItWouldWaitOn) {
    const testing::ScratchDirectory scratch;
    const std::string missing = scratch.At("missing.so");
    const std::string good = scratch.At("good.so");
    const std::string shared = scratch.At("shared.so");
    const std::string fifo = scratch.At("fifo.so");
    testing::WriteBytes(good, "module");
    testing::WriteBytes(shared, "module");
    ASSERT_EQ(::chmod(good.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const uid_t me = ::geteuid();

    EXPECT_EQ(Reason({missing, good}, me), "opened " + good);
    EXPECT_EQ(Reason({good, missing}, me), "opened " + good);
    EXPECT_EQ(Reason({shared, good}, me), shared + " may be written by others than its owner");
    EXPECT_EQ(Reason({fifo, good}, me), fifo + " is not a regular file");
    EXPECT_EQ(Reason({missing, scratch.At("missing/below.so")}, me),
              "no file at " + missing + " or " + scratch.At("missing/below.so"));
    if (me != kRoot) {
        EXPECT_EQ(Reason({good}, me + 1), good + " belongs to user " + std::to_string(me) +
                                              ", neither root nor the program's owner");
    }
}

}  // namespace
}  // namespace brelmont::qtloader
