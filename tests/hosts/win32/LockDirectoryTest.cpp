#include <windows.h>
// clang-format off
#include <aclapi.h>
// clang-format on

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "hosts/win32/DirectoryLock.h"
#include "hosts/win32/Elevation.h"
#include "hosts/win32/UniqueHandle.h"
#include "hosts/win32/Win32FileSystem.h"
#include "hosts/win32/Wine.h"
#include "tests/hosts/win32/FileSystemFixture.h"
#include "win32/WideText.h"

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

// The well-known SIDs the held lock lets in, one per entry of its access list.
std::vector<WELL_KNOWN_SID_TYPE> LockUsers(const std::string& name) {
    const UniqueKernelHandle mutex(::OpenMutexW(READ_CONTROL, FALSE, Wide(name).c_str()));
    if (!mutex.Valid()) {
        ADD_FAILURE() << "the lock " << name << " cannot be opened: " << ::GetLastError();
        return {};
    }
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR rules = nullptr;
    if (::GetSecurityInfo(mutex.Get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, &dacl, nullptr, &rules) != ERROR_SUCCESS ||
        dacl == nullptr) {
        ADD_FAILURE() << "the lock has no access list";
        return {};
    }
    std::vector<WELL_KNOWN_SID_TYPE> users;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* entry = nullptr;
        ::GetAce(dacl, index, &entry);
        const PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
        WELL_KNOWN_SID_TYPE kind = WinNullSid;
        for (const WELL_KNOWN_SID_TYPE known : {WinBuiltinAdministratorsSid, WinLocalSystemSid}) {
            kind = ::IsWellKnownSid(sid, known) ? known : kind;
        }
        users.push_back(kind);  // WinNullSid: this user's own SID
    }
    ::LocalFree(rules);
    return users;
}

// An elevated run shares its lock with no unelevated program, not even the same user's.
TEST_F(LockDirectoryTest, OnlyAdministratorsAndTheSystemShareAnElevatedRunsLock) {
    const auto held = files.LockDirectory(root);
    std::vector<WELL_KNOWN_SID_TYPE> expected{WinBuiltinAdministratorsSid, WinLocalSystemSid};
    if (!ProcessIsElevated()) {
        expected.insert(expected.begin(), WinNullSid);
    }
    EXPECT_EQ(LockUsers(DirectoryLockName(root)), expected)
        << (ProcessIsElevated() ? "elevated" : "not elevated");
}

// The same user without the administrators' rights (as its unelevated programs run) cannot open
// the lock at all, so it can neither hold it nor wait on it for a run.
TEST_F(LockDirectoryTest, TheSameUserUnelevatedCannotOpenAnElevatedRunsLock) {
    if (RunsUnderWine()) {
        GTEST_SKIP() << "under Wine every program has the same rights: none is unelevated";
    }
    if (!ProcessIsElevated()) {
        GTEST_SKIP() << "needs an elevated run: it takes the administrators' rights away";
    }
    const auto held = files.LockDirectory(root);
    const std::wstring name = Wide(DirectoryLockName(root));
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &token));
    const UniqueKernelHandle own(token);
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof administrators;
    ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    SID_AND_ATTRIBUTES disabled{administrators, 0};
    HANDLE restricted = nullptr;
    ASSERT_TRUE(::CreateRestrictedToken(token, DISABLE_MAX_PRIVILEGE, 1, &disabled, 0, nullptr, 0,
                                        nullptr, &restricted));
    const UniqueKernelHandle unelevated(restricted);
    HANDLE impersonation = nullptr;
    ASSERT_TRUE(::DuplicateToken(restricted, SecurityImpersonation, &impersonation));
    const UniqueKernelHandle as(impersonation);
    DWORD refusal = 0;
    bool opened = true;
    std::thread other([&] {
        ::SetThreadToken(nullptr, impersonation);
        const UniqueKernelHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
        refusal = ::GetLastError();
        opened = mutex.Valid();
        ::RevertToSelf();
    });
    other.join();
    EXPECT_FALSE(opened);
    EXPECT_EQ(refusal, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const UniqueKernelHandle mine(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_TRUE(mine.Valid()) << "the elevated run itself was kept out too";
}

}  // namespace
}  // namespace brelmont::win32::test
