#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "hosts/win32/FaultPlan.h"
#include "platform/Services.h"

namespace brelmont::win32 {

// An exclusive lock on a directory that other runs of the program respect. It is a named mutex
// keyed by the directory's volume and file index, so every spelling of the path meets the same
// lock and nothing is created in the directory; it lives in the session's namespace, usable only
// by administrators, the system and, when the run is not elevated, its maker's user, so another
// user (or the same user's unelevated programs, against an elevated run) can neither hold this
// run's lock nor plant one for all sessions. A run that dies holding it hands it on (the mutex is
// abandoned, not kept). The wait is bounded: past `wait`, "Permission denied".
std::unique_ptr<platform::DirectoryLock> LockDirectoryExclusively(const std::string& path,
                                                                  std::chrono::milliseconds wait,
                                                                  FaultPlan& faults);

// The mutex name for a directory, e.g. "Local\Brelmont.Directory.1a2b3c4d.00000000000004d2".
std::string DirectoryLockName(const std::string& path);

}  // namespace brelmont::win32
