#pragma once

#include <memory>
#include <string>

#include "hosts/posix/FaultPlan.h"
#include "platform/Services.h"

namespace brelmont::posix {

// An exclusive flock on the directory itself, so no lock file is ever left behind; blocks until
// had. The lock goes with the descriptor when the returned object is destroyed.
std::unique_ptr<platform::DirectoryLock> LockDirectoryExclusively(const std::string& hostPath,
                                                                  FaultPlan& faults);

}  // namespace brelmont::posix
