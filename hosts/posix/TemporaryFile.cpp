#include "hosts/posix/TemporaryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string_view>

#include "hosts/posix/ErrorTable.h"

namespace brelmont::posix {
namespace {

// Leaves room for the dot and the suffix within the 255 bytes a name may have.
constexpr std::size_t kNameStem = 200;
constexpr int kAttempts = 100;
constexpr std::size_t kSuffixLength = 6;

// Unguessable enough to make collisions rare; a collision only costs another attempt.
std::string RandomSuffix() {
    static std::uint64_t calls = 0;
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint64_t mixed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(::getpid()) << 40) ^ (++calls * 0x9E3779B97F4A7C15ull);
    std::string suffix;
    for (std::size_t i = 0; i < kSuffixLength; ++i) {
        suffix += kDigits[mixed % kDigits.size()];
        mixed /= kDigits.size();
    }
    return suffix;
}

// A run killed while it wrote leaves its temporary file behind, and nothing else would ever
// remove it. One untouched for this long is no live run's: a run writes its file and puts it in
// place within seconds, and every write refreshes the file's time.
constexpr auto kAbandonedAfter = std::chrono::minutes(10);

bool IsAbandoned(int directoryFd, const char* name, std::string_view stem) {
    const std::string_view entry(name);
    if (!entry.starts_with(stem) || entry.size() != stem.size() + kSuffixLength) {
        return false;
    }
    struct stat status {};
    if (::fstatat(directoryFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode)) {
        return false;
    }
    const auto modified =
        std::chrono::system_clock::time_point(std::chrono::seconds(status.st_mtim.tv_sec));
    return std::chrono::system_clock::now() - modified > kAbandonedAfter;
}

// Removes the temporary files of killed runs beside the target. Tidying only: whatever fails
// here is passed over and the replace goes on.
void SweepAbandoned(int directoryFd, std::string_view stem) {
    const int listFd = ::openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) {
        return;
    }
    DIR* const listing = ::fdopendir(listFd);
    if (listing == nullptr) {
        ::close(listFd);
        return;
    }
    while (const dirent* const entry = ::readdir(listing)) {
        if (IsAbandoned(directoryFd, entry->d_name, stem)) {
            ::unlinkat(directoryFd, entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

}  // namespace

TemporaryFile::TemporaryFile(int directoryFd, const std::string& targetName, mode_t mode,
                             FaultPlan& faults)
    : directoryFd_(directoryFd) {
    // Built by appends: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + std::string.
    std::string stem = ".";
    stem.append(targetName, 0, kNameStem).append(".brelmont-");
    SweepAbandoned(directoryFd, stem);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string name = stem + RandomSuffix();
        if (const int staged = faults.Strike(FaultPoint::Open)) {
            ThrowErrno(staged);
        }
        UniqueFd fd(::openat(directoryFd, name.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
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
