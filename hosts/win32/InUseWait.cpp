#include "hosts/win32/InUseWait.h"

#include <algorithm>

#include "hosts/win32/ErrorTable.h"
#include "support/RuntimeError.h"

namespace brelmont::win32 {
namespace {

// Often enough that an edit goes on soon after the other program lets go, seldom enough that
// half a minute of waiting costs nothing.
constexpr std::chrono::milliseconds kPause{100};

}  // namespace

bool IsInUse(DWORD code) {
    // ReplaceFile says "unable to remove replaced" when the old file is open without delete
    // sharing; it is then still whole under its name.
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

void RetryWhileInUse(const std::function<DWORD()>& attempt, const std::string& path,
                     std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const DWORD code = attempt();
        if (code == 0) {
            return;
        }
        if (!IsInUse(code)) {
            ThrowWin32Error(code);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            throw RuntimeError(ErrorNumberFor(code), "Brelmont",
                               "Permission denied: " + path + " is in use by another program");
        }
        ::Sleep(static_cast<DWORD>(std::min(left, kPause).count()));
    }
}

}  // namespace brelmont::win32
