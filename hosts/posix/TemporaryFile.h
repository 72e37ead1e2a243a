#pragma once

#include <sys/types.h>

#include <string>

#include "hosts/posix/FaultPlan.h"
#include "hosts/posix/UniqueFd.h"

namespace brelmont::posix {

// A new, empty file ".<name>.brelmont-XXXXXX" beside the file it will replace; removed again
// when it goes out of scope before being put in place. Making one first removes those that runs
// killed long ago left behind.
class TemporaryFile {
  public:
    // Created with `mode` (0666 for a new file, so the umask and the directory's default ACL apply
    // as to any new file; 0600 for one that takes another's place).
    TemporaryFile(int directoryFd, const std::string& targetName, mode_t mode, FaultPlan& faults);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    UniqueFd& Fd() { return fd_; }
    const std::string& Name() const { return name_; }
    // The file now lives under the target's name; nothing is left to remove.
    void MarkPlaced() { placed_ = true; }

  private:
    int directoryFd_;
    std::string name_;
    UniqueFd fd_;
    bool placed_ = false;
};

}  // namespace brelmont::posix
