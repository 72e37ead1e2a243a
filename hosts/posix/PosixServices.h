#pragma once

#include "hosts/posix/PosixClock.h"
#include "hosts/posix/PosixEventLog.h"
#include "hosts/posix/PosixFileSystem.h"
#include "hosts/posix/PosixProcess.h"
#include "platform/Services.h"

namespace brelmont::posix {

// One of each host service for a run, built from what main() receives.
class PosixServices {
  public:
    PosixServices(int argc, const char* const* argv, const char* const* environment);
    // The services handed out refer to the members.
    PosixServices(const PosixServices&) = delete;
    PosixServices& operator=(const PosixServices&) = delete;

    platform::Services ForRun() { return {files_, eventLog_, clock_, process_}; }
    PosixFileSystem& Files() { return files_; }

  private:
    PosixFileSystem files_;
    PosixEventLog eventLog_;
    PosixClock clock_;
    PosixProcess process_;
};

}  // namespace brelmont::posix
