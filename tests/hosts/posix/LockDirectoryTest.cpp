#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "hosts/posix/UniqueFd.h"
#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

class LockDirectoryTest : public ScratchDirectoryTest {};

TEST_F(LockDirectoryTest, ExcludesOthersUntilReleasedAndCreatesNothing) {
    auto lock = files.LockDirectory(root);
    const UniqueFd other(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    EXPECT_EQ(::flock(other.Get(), LOCK_EX | LOCK_NB), -1);
    EXPECT_EQ(errno, EWOULDBLOCK);
    lock.reset();
    EXPECT_EQ(::flock(other.Get(), LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(Entries(root).empty());
}

TEST_F(LockDirectoryTest, WaitsForAnotherRunToLetGo) {
    constexpr std::chrono::milliseconds kHeld{300};
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto held = files.LockDirectory(root);
        const bool told = ::write(ready[1], "L", 1) == 1;
        std::this_thread::sleep_for(kHeld);
        ::_exit(told ? 0 : 1);
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    const auto asked = std::chrono::steady_clock::now();
    const auto lock = files.LockDirectory(root);
    EXPECT_GE(std::chrono::steady_clock::now() - asked, kHeld / 2);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

// Anyone who may read the folder can hold its lock: the wait has an end, and then a failure.
TEST_F(LockDirectoryTest, GivesUpOnALockHeldTooLong) {
    const UniqueFd holder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_EQ(::flock(holder.Get(), LOCK_EX), 0);
    files.SetLockWait(std::chrono::milliseconds(100));
    EXPECT_EQ(ErrorNumberOf([&] { files.LockDirectory(root); }), ErrorNumber::PermissionDenied);
}

}  // namespace
}  // namespace brelmont::posix::test
