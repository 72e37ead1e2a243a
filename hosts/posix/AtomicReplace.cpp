#include "hosts/posix/AtomicReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/FileIo.h"
#include "hosts/posix/FinalPath.h"
#include "hosts/posix/PathParts.h"
#include "hosts/posix/TemporaryFile.h"
#include "support/RuntimeError.h"

namespace brelmont::posix {
namespace {

// The file being replaced, or nothing when it is still to be created. Anything but a regular
// file refuses the replace before a temporary file exists.
std::optional<struct stat> ExistingFile(int directoryFd, const std::string& name) {
    struct stat status {};
    if (::fstatat(directoryFd, name.c_str(), &status, 0) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        ThrowErrno(errno);
    }
    if (S_ISDIR(status.st_mode)) {
        ThrowErrno(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    return status;
}

void MatchOwnerAndMode(int fd, const struct stat& old, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Permissions)) {
        ThrowErrno(staged);
    }
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        ThrowErrno(errno);
    }
    // Owner and group where the system lets us: an ordinary user cannot give a file away, and the
    // replacement then simply stays theirs, so a refusal is no failure. Before the mode, since a
    // change of owner clears set-id bits.
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        [[maybe_unused]] const int refused = ::fchown(fd, old.st_uid, old.st_gid);
    }
    // Skipped when equal: file systems such as vfat refuse a mode they cannot store even when it
    // is the one the file already has from the mount.
    constexpr mode_t kPermissionBits = 07777;
    if ((now.st_mode & kPermissionBits) != (old.st_mode & kPermissionBits) &&
        ::fchmod(fd, old.st_mode & kPermissionBits) != 0) {
        ThrowErrno(errno);
    }
}

void Flush(int fd, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Flush)) {
        ThrowErrno(staged);
    }
    if (::fsync(fd) != 0) {
        ThrowErrno(errno);
    }
}

void PutInPlace(int directoryFd, TemporaryFile& replacement, const std::string& name,
                FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Rename)) {
        ThrowErrno(staged);
    }
    if (::renameat(directoryFd, replacement.Name().c_str(), directoryFd, name.c_str()) != 0) {
        ThrowErrno(errno);
    }
    replacement.MarkPlaced();
}

// Makes the rename itself survive a crash. The new contents are in place by now, so a failure
// here is reported but cannot bring the old file back.
void FlushDirectory(int directoryFd, FaultPlan& faults) {
    const int staged = faults.Strike(FaultPoint::DirectoryFlush);
    const int error = staged != 0 ? staged : ::fsync(directoryFd) == 0 ? 0 : errno;
    // Some file systems (network and FUSE ones) cannot flush a directory at all and say so; the
    // rename stands as well as they can make it.
    if (error != 0 && error != EINVAL && error != ENOTSUP) {
        ThrowErrno(error);
    }
}

}  // namespace

void ReplaceFileAtomically(const std::string& hostPath, std::span<const std::string_view> pieces,
                           FaultPlan& faults) {
    const PathParts target = SplitPath(FinalPathOf(hostPath));
    if (target.name.empty() || target.name == "." || target.name == "..") {
        ThrowErrno(EISDIR);
    }
    const UniqueFd directory = OpenDirectory(target.directory, faults);
    const std::optional<struct stat> old = ExistingFile(directory.Get(), target.name);
    TemporaryFile replacement(directory.Get(), target.name, faults);
    WriteAll(replacement.Fd().Get(), pieces, faults);
    if (old) {
        MatchOwnerAndMode(replacement.Fd().Get(), *old, faults);
    }
    Flush(replacement.Fd().Get(), faults);
    CloseWritten(replacement.Fd(), faults);
    PutInPlace(directory.Get(), replacement, target.name, faults);
    FlushDirectory(directory.Get(), faults);
}

}  // namespace brelmont::posix
