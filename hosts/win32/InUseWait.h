#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace brelmont::win32 {

// How long an edit waits for a program that holds Launch.local without sharing it (Kelvane itself,
// an editor, a virus scan): as long as for another run's lock.
inline constexpr std::chrono::milliseconds kInUseWait{30000};

// Whether `code` says that another program holds the file without sharing it.
bool IsInUse(DWORD code);

// Runs `attempt` (0 when it succeeded, else a Windows error code) until it succeeds, fails for
// another reason, or `wait` has passed while `path` was in use; any failure is thrown as its
// run-time error, the last one saying that another program holds the file.
void RetryWhileInUse(const std::function<DWORD()>& attempt, const std::string& path,
                     std::chrono::milliseconds wait);

}  // namespace brelmont::win32
