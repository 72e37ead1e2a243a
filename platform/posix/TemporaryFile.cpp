#include "platform/posix/TemporaryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "platform/posix/ErrorTable.h"

namespace brelmont::posix {
namespace {

// Leaves room for the dot and the suffix within the 255 bytes a name may have.
constexpr std::size_t kNameStem = 200;
constexpr int kAttempts = 100;

// Unguessable enough to make collisions rare; a collision only costs another attempt.
std::string RandomSuffix() {
    static std::uint64_t calls = 0;
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint64_t mixed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(::getpid()) << 40) ^ (++calls * 0x9E3779B97F4A7C15ull);
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += kDigits[mixed % kDigits.size()];
        mixed /= kDigits.size();
    }
    return suffix;
}

}  // namespace

TemporaryFile::TemporaryFile(int directoryFd, const std::string& targetName, FaultPlan& faults)
    : directoryFd_(directoryFd) {
    // Built by appends: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + std::string.
    std::string stem = ".";
    stem.append(targetName, 0, kNameStem).append(".brelmont-");
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string name = stem + RandomSuffix();
        if (const int staged = faults.Strike(FaultPoint::Open)) {
            ThrowErrno(staged);
        }
        UniqueFd fd(::openat(directoryFd, name.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (fd.Valid()) {
            name_ = name;
            fd_ = std::move(fd);
            return;
        }
        if (errno != EEXIST) {
            // The directory was open a moment ago; gone now, it is a missing path.
            ThrowErrno(errno, true);
        }
    }
    ThrowErrno(EEXIST);
}

TemporaryFile::~TemporaryFile() {
    if (!placed_) {
        ::unlinkat(directoryFd_, name_.c_str(), 0);
    }
}

}  // namespace brelmont::posix
