#include "hosts/posix/DirectoryLock.h"

#include <sys/file.h>

#include <cerrno>
#include <thread>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/FileIo.h"
#include "hosts/posix/UniqueFd.h"
#include "support/RuntimeError.h"

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
                                                                  std::chrono::milliseconds wait,
                                                                  FaultPlan& faults) {
    UniqueFd directory = OpenDirectory(hostPath, faults);
    if (const int staged = faults.Strike(FaultPoint::Lock)) {
        ThrowErrno(staged);
    }
    // Polled rather than waited on, so the wait has an end; another run holds the lock for a
    // fraction of a second, so a short poll costs nothing in the common case.
    constexpr auto kPoll = std::chrono::milliseconds(20);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(directory.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            ThrowErrno(errno);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw RuntimeError(ErrorNumber::PermissionDenied, "Brelmont",
                               "Permission denied: another program has held the lock on " +
                                   hostPath + " for too long");
        }
        std::this_thread::sleep_for(kPoll);
    }
    return std::make_unique<DirectoryFlock>(std::move(directory));
}

}  // namespace brelmont::posix
