#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

const std::string kOld = "[Addons]\r\nold=1\r\n";

class ReplaceFaultTest : public ScratchDirectoryTest {
  protected:
    ReplaceFaultTest() {
        WriteBytes(At("Launch.local"), kOld);
        std::filesystem::permissions(At("Launch.local"), static_cast<std::filesystem::perms>(0640));
    }
};

TEST_F(ReplaceFaultTest, EachFailingStageLeavesTheOldFileAndNoTemporary) {
    const struct {
        FaultPoint point;
        int nth, errnoValue;
        std::int32_t number;
        std::size_t newSize;
    } cases[] = {
        {FaultPoint::DirectoryOpen, 1, EMFILE, 67, 100},
        {FaultPoint::Open, 1, EACCES, 70, 100},
        {FaultPoint::Write, 1, ENOSPC, 61, 100},
        {FaultPoint::Write, 3, EDQUOT, 61, 3 * kWriteChunk + 1},  // half-way through
        {FaultPoint::Permissions, 1, EPERM, 70, 100},
        {FaultPoint::Flush, 1, EIO, 57, 100},
        {FaultPoint::Close, 1, EIO, 57, 100},
        {FaultPoint::Rename, 1, EXDEV, 74, 100},
        {FaultPoint::DirectoryFlush, 1, EIO, 57, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.point));
        WriteBytes(At("Launch.local"), kOld);
        const std::string contents(c.newSize, 'n');
        files.InjectFault(c.point, c.nth, c.errnoValue);
        EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), contents); }),
                  c.number);
        // Once renamed, the new file is in place whole; before, the old one stays byte for byte.
        const bool renamed = c.point == FaultPoint::DirectoryFlush;
        EXPECT_EQ(ReadBytes(At("Launch.local")), renamed ? contents : kOld);
        EXPECT_EQ(PermissionBits(At("Launch.local")), 0640u);
        EXPECT_EQ(Entries(root), std::set<std::string>{"Launch.local"});
        // Struck once: the next replace goes through.
        files.ReplaceFile(At("Launch.local"), contents);
        EXPECT_EQ(ReadBytes(At("Launch.local")), contents);
    }
}

// A real failure of the system: root ignores permissions, but not the file size limit.
TEST_F(ReplaceFaultTest, FileSizeLimitLeavesTheOldFile) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(
            ErrorNumberOf([&] { files.ReplaceFile(At("Launch.local"), std::string(65536, 'n')); }));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 61) << status;
    EXPECT_EQ(ReadBytes(At("Launch.local")), kOld);
    EXPECT_EQ(Entries(root), std::set<std::string>{"Launch.local"});
}

}  // namespace
}  // namespace brelmont::posix::test
