#include "hosts/win32/DirectoryLock.h"

#include <windows.h>
// clang-format off
#include <sddl.h>
// clang-format on

#include <cstdio>
#include <string>

#include "hosts/win32/Elevation.h"
#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/FinalPath.h"
#include "hosts/win32/UniqueHandle.h"
#include "support/RuntimeError.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

class MutexLock final : public platform::DirectoryLock {
  public:
    explicit MutexLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock() override { ::ReleaseMutex(mutex_.Get()); }

  private:
    UniqueKernelHandle mutex_;
};

BY_HANDLE_FILE_INFORMATION DirectoryIdentity(const std::string& path) {
    const UniqueFile directory(
        ::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation, nullptr));
    if (!directory.Valid()) {
        const DWORD code = ::GetLastError();
        ThrowWin32Error(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code);
    }
    BY_HANDLE_FILE_INFORMATION identity{};
    if (!::GetFileInformationByHandle(directory.Get(), &identity)) {
        ThrowLastError();
    }
    if ((identity.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ThrowWin32Error(ERROR_DIRECTORY);
    }
    RequireOpenedAs(directory.Get(), path);
    return identity;
}

// The process's user; "OW" (the object's owner) where it cannot be had.
std::string ThisUserSidOrOwner() {
    const std::string sid = ProcessTokenSid(TokenUser);
    return sid.empty() ? "OW" : sid;
}

}  // namespace

std::string DirectoryLockName(const std::string& path) {
    const BY_HANDLE_FILE_INFORMATION identity = DirectoryIdentity(path);
    char name[64] = {};
    std::snprintf(name, sizeof name, "Local\\Brelmont.Directory.%08lx.%08lx%08lx",
                  static_cast<unsigned long>(identity.dwVolumeSerialNumber),
                  static_cast<unsigned long>(identity.nFileIndexHigh),
                  static_cast<unsigned long>(identity.nFileIndexLow));
    return name;
}

std::unique_ptr<platform::DirectoryLock> LockDirectoryExclusively(const std::string& path,
                                                                  std::chrono::milliseconds wait,
                                                                  FaultPlan& faults) {
    if (const DWORD staged = faults.Strike(FaultPoint::DirectoryOpen)) {
        ThrowWin32Error(staged);
    }
    const std::string name = DirectoryLockName(path);
    if (const DWORD staged = faults.Strike(FaultPoint::Lock)) {
        ThrowWin32Error(staged);
    }
    // Only administrators and the system may use it, and this user too when the run is not
    // elevated: an ordinary user, or this same user's unelevated programs, cannot open and hold a
    // lock an elevated run made. One who makes the name first gets the run refused, not hung.
    PSECURITY_DESCRIPTOR rules = nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    const std::string dacl =
        "D:P" + (ProcessIsElevated() ? std::string() : "(A;;GA;;;" + ThisUserSidOrOwner() + ")") +
        "(A;;GA;;;BA)(A;;GA;;;SY)";
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(dacl).c_str(), SDDL_REVISION_1,
                                                               &rules, nullptr)) {
        attributes.lpSecurityDescriptor = rules;
    }
    UniqueKernelHandle mutex(
        ::CreateMutexW(rules != nullptr ? &attributes : nullptr, FALSE, Wide(name).c_str()));
    ::LocalFree(rules);
    if (!mutex.Valid()) {
        ThrowLastError();
    }
    // An abandoned mutex is ours now as well: its holder ended without letting go.
    const DWORD waited = ::WaitForSingleObject(mutex.Get(), static_cast<DWORD>(wait.count()));
    if (waited == WAIT_TIMEOUT) {
        // Whoever holds it (another run, or anyone who made the name first) keeps it too long for
        // an installer to wait on.
        throw RuntimeError(
            ErrorNumber::PermissionDenied, "Brelmont",
            "Permission denied: another program has held the lock on " + path + " for too long");
    }
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ThrowLastError();
    }
    return std::make_unique<MutexLock>(std::move(mutex));
}

}  // namespace brelmont::win32
