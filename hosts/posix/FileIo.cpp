#include "hosts/posix/FileIo.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <new>

#include "hosts/posix/ErrorTable.h"
#include "support/RuntimeError.h"

namespace brelmont::posix {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;
// Pieces one write gathers at most: POSIX lets a system take as few as 16, Linux and the BSDs
// take 1024. A rewrite of a large file keeps its lines in stretches between the empty lines it
// drops, so a write of kWriteChunk bytes may span thousands of pieces.
constexpr std::size_t kWriteVectors = 1024;
// What one read takes at most: small enough to stay in a core's own cache.
constexpr std::size_t kReadChunk = 64 * 1024;

// A capacity just short of a whole number of huge pages, the rest left to the allocator's own
// header: the buffer's mapping then spans whole huge pages, and Linux places such mappings on
// huge-page boundaries, so no stretch of the buffer is left to small pages.
std::size_t WholeHugePages(std::size_t capacity) {
    constexpr std::size_t kAllocatorHeader = 256;
    if (capacity < kHugePage) {
        return capacity;
    }
    return (capacity + kAllocatorHeader + kHugePage - 1) / kHugePage * kHugePage - kAllocatorHeader;
}

// Asks for huge pages under a buffer about to be filled. Filling a fresh buffer of tens of MiB
// page fault by page fault costs more than all the rest of an edit (many times more under
// virtualisation); with huge pages it is a few faults. The range is widened to huge-page
// boundaries only within the buffer's own first and last small page, which belong to its own
// mapping. Advice only: where the system declines, nothing changes.
void AdviseHugePages(char* data, std::size_t size) {
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t stop = start + size;
    std::uintptr_t begin = start & ~std::uintptr_t{kHugePage - 1};
    if (start - begin >= kSmallPage) {
        begin += kHugePage;
    }
    std::uintptr_t end = (stop + kHugePage - 1) & ~std::uintptr_t{kHugePage - 1};
    if (end - stop >= kSmallPage) {
        end -= kHugePage;
    }
    if (end > begin) {
#ifdef MADV_HUGEPAGE
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
#ifdef __linux__
        // The allocator wrote its header into the first stretch before the advice, which keeps
        // that stretch on small pages: a fixed cost of hundreds of faults, whatever the file's
        // size. Collapsing it now makes it a huge page like the rest. MADV_COLLAPSE (Linux 6.1)
        // is newer than some C libraries' headers; older kernels refuse it, changing nothing.
        constexpr int kCollapse = 25;
        if (begin < start) {
            ::madvise(reinterpret_cast<void*>(begin), kHugePage, kCollapse);
        }
#endif
    }
}

// An empty text with room for `capacity` characters, asked to be backed by huge pages.
std::string ReserveHugeText(std::size_t capacity) {
    std::string text;
    text.reserve(std::min<std::size_t>(WholeHugePages(capacity), text.max_size()));
    AdviseHugePages(text.data(), text.capacity());
    return text;
}

}  // namespace

UniqueFd OpenRegularFile(const std::string& hostPath, struct stat& status, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Open)) {
        ThrowErrnoForPath(staged, hostPath);
    }
    UniqueFd fd(::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid()) {
        ThrowErrnoForPath(errno, hostPath);
    }
    if (::fstat(fd.Get(), &status) != 0) {
        ThrowErrno(errno);
    }
    if (S_ISDIR(status.st_mode)) {
        ThrowErrno(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    return fd;
}

UniqueFd OpenDirectory(const std::string& hostPath, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::DirectoryOpen)) {
        ThrowErrno(staged, true);
    }
    UniqueFd directory(::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directory.Valid()) {
        ThrowErrno(errno, true);
    }
    return directory;
}

void WriteAll(int fd, std::span<const std::string_view> pieces, FaultPlan& faults) {
    // Where the writing stands: the piece, and how much of it is written.
    std::size_t piece = 0;
    std::size_t offset = 0;
    std::array<iovec, kWriteVectors> vectors{};
    while (true) {
        std::size_t count = 0;
        std::size_t gathered = 0;
        for (std::size_t next = piece, skip = offset;
             next < pieces.size() && count < vectors.size() && gathered < kWriteChunk;
             ++next, skip = 0) {
            const std::size_t length = std::min(pieces[next].size() - skip, kWriteChunk - gathered);
            if (length > 0) {
                vectors[count++] = {const_cast<char*>(pieces[next].data() + skip), length};
                gathered += length;
            }
        }
        if (count == 0) {
            return;
        }
        if (const int staged = faults.Strike(FaultPoint::Write)) {
            ThrowErrno(staged);
        }
        const ssize_t written = ::writev(fd, vectors.data(), static_cast<int>(count));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(errno);
        }
        if (written == 0) {
            // A regular file that takes nothing without saying why is a device fault, and
            // retrying would spin.
            ThrowErrno(EIO);
        }
        for (auto left = static_cast<std::size_t>(written); left > 0;) {
            const std::size_t step = std::min(left, pieces[piece].size() - offset);
            offset += step;
            left -= step;
            if (offset == pieces[piece].size()) {
                ++piece;
                offset = 0;
            }
        }
    }
}

std::string ReadExactly(int fd, std::uint64_t length, FaultPlan& faults) {
    std::string bytes;
    try {
        if (length > bytes.max_size()) {
            throw std::bad_alloc();
        }
        // Room for what an install appends to Launch.local (a line end and the add-on's block):
        // growing a large text by a few hundred bytes must not move all of it to a fresh buffer.
        constexpr std::size_t kAppendRoom = 64 * 1024;
        bytes = ReserveHugeText(static_cast<std::size_t>(length) + kAppendRoom);
    } catch (const std::exception&) {
        throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    // Read through a small buffer that stays in the processor's cache and appended from there:
    // sizing the text first would fill all of it with zeros only to write it over again, a whole
    // extra pass over memory the size of the file.
    std::array<char, kReadChunk> chunk;
    while (bytes.size() < length) {
        if (const int staged = faults.Strike(FaultPoint::Read)) {
            ThrowErrno(staged);
        }
        const std::size_t wanted =
            std::min<std::size_t>(chunk.size(), static_cast<std::size_t>(length) - bytes.size());
        const ssize_t got = ::read(fd, chunk.data(), wanted);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(errno);
        }
        if (got == 0) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile);
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return bytes;
}

void CloseWritten(UniqueFd& fd, FaultPlan& faults) {
    const int staged = faults.Strike(FaultPoint::Close);
    const int closeError = fd.Close();
    if (staged != 0 || closeError != 0) {
        ThrowErrno(staged != 0 ? staged : closeError);
    }
}

}  // namespace brelmont::posix
