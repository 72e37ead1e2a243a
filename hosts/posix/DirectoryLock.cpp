#include "hosts/posix/DirectoryLock.h"

#include <sys/file.h>

#include <cerrno>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/FileIo.h"
#include "hosts/posix/UniqueFd.h"

namespace brelmont::posix {
namespace {

class DirectoryFlock final : public platform::DirectoryLock {
  public:
    explicit DirectoryFlock(UniqueFd directory) : directory_(std::move(directory)) {}
    ~DirectoryFlock() override { ::flock(directory_.Get(), LOCK_UN); }

  private:
    UniqueFd directory_;
};

}  // namespace

std::unique_ptr<platform::DirectoryLock> LockDirectoryExclusively(const std::string& hostPath,
                                                                  FaultPlan& faults) {
    UniqueFd directory = OpenDirectory(hostPath, faults);
    if (const int staged = faults.Strike(FaultPoint::Lock)) {
        ThrowErrno(staged);
    }
    while (::flock(directory.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            ThrowErrno(errno);
        }
    }
    return std::make_unique<DirectoryFlock>(std::move(directory));
}

}  // namespace brelmont::posix
