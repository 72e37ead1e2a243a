#include <atomic>
#include <chrono>
#include <thread>

#include "hosts/win32/Win32FileSystem.h"
#include "tests/hosts/win32/FileSystemFixture.h"

namespace brelmont::win32::test {
namespace {

using std::chrono_literals::operator""ms;

class LockDirectoryTest : public ScratchDirectoryTest {};

TEST_F(LockDirectoryTest, AnotherRunWaitsUnderAnySpellingOfThePath) {
    std::filesystem::create_directory(At("Data"));
    std::string other = At("data\\");
    for (char& c : other) {
        c = c == '\\' ? '/' : c;
    }
    auto held = files.LockDirectory(At("Data"));
    std::atomic<bool> had = false;
    std::thread waiter([&] {
        Win32FileSystem theirs;
        const auto lock = theirs.LockDirectory(other);
        had = true;
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(had) << "the lock was had twice";
    held.reset();
    waiter.join();
    EXPECT_TRUE(had);
    EXPECT_EQ(Entries(At("Data")), std::set<std::string>{});
}

TEST_F(LockDirectoryTest, ALockLeftByAnEndedHolderIsTakenOver) {
    std::thread holder([&] {
        // Ends holding the lock, as a run that was killed would.
        [[maybe_unused]] auto* leaked = files.LockDirectory(root).release();
    });
    holder.join();
    EXPECT_NE(files.LockDirectory(root), nullptr);
}

TEST_F(LockDirectoryTest, GivesUpOnALockHeldTooLong) {
    const auto held = files.LockDirectory(root);
    std::int32_t number = 0;
    std::thread waiter([&] {
        Win32FileSystem theirs;
        theirs.SetLockWait(100ms);
        number = ErrorNumberOf([&] { theirs.LockDirectory(root); });
    });
    waiter.join();
    EXPECT_EQ(number, ErrorNumber::PermissionDenied);
}

TEST_F(LockDirectoryTest, AMissingDirectoryIsAMissingPath) {
    EXPECT_EQ(ErrorNumberOf([&] { files.LockDirectory(At("none")); }), ErrorNumber::PathNotFound);
}

}  // namespace
}  // namespace brelmont::win32::test
