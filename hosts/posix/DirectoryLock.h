#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "hosts/posix/FaultPlan.h"
#include "platform/Services.h"

namespace brelmont::posix {

// An exclusive flock on the directory itself, so no lock file is ever left behind. Any user who
// may read the directory can hold such a lock, so the wait for it is bounded: past `wait`,
// "Permission denied". The lock goes with the descriptor when the returned object is destroyed.
std::unique_ptr<platform::DirectoryLock> LockDirectoryExclusively(const std::string& hostPath,
                                                                  std::chrono::milliseconds wait,
                                                                  FaultPlan& faults);

}  // namespace brelmont::posix
