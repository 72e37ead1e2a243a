#include "platform/posix/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/posix/ErrorTable.h"
#include "support/RuntimeError.h"

namespace brelmont::posix {

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

void WriteAll(int fd, std::string_view bytes, FaultPlan& faults) {
    while (!bytes.empty()) {
        const std::size_t chunk = std::min(bytes.size(), kWriteChunk);
        if (const int staged = faults.Strike(FaultPoint::Write)) {
            ThrowErrno(staged);
        }
        const ssize_t written = ::write(fd, bytes.data(), chunk);
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
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string ReadExactly(int fd, std::uint64_t length, FaultPlan& faults) {
    std::string bytes;
    try {
        if (length > bytes.max_size()) {
            throw std::bad_alloc();
        }
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::exception&) {
        throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (const int staged = faults.Strike(FaultPoint::Read)) {
            ThrowErrno(staged);
        }
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(errno);
        }
        if (got == 0) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile);
        }
        done += static_cast<std::size_t>(got);
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
