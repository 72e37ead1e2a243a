#include "hosts/posix/AtomicReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
// file refuses the replace before a temporary file exists; so does a link, since the name was a
// link's final target a moment ago.
std::optional<struct stat> ExistingFile(int directoryFd, const std::string& name) {
    struct stat status {};
    if (::fstatat(directoryFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
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

std::optional<FileIdentity> IdentityOf(const std::optional<struct stat>& status) {
    if (!status) {
        return std::nullopt;
    }
    return FileIdentity{status->st_dev, status->st_ino};
}

// The name must lead where it led when the caller read the file: another file put there since
// (by someone else, or a link swapped in) is not the one the new contents were made from.
void RequireUnchanged(int directoryFd, const std::string& name,
                      const std::optional<FileIdentity>& expected, const std::string& hostPath) {
    if (IdentityOf(ExistingFile(directoryFd, name)) != expected) {
        throw RuntimeError(
            ErrorNumber::PathFileAccessError, "Brelmont",
            "Path/File access error: " + hostPath + " is no longer the file that was read");
    }
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
    // is the one the file already has from the mount. Set-id bits are never copied: a data file
    // has no use for them, and root giving a file they make executable as its owner (or as a
    // group the owner may not even be in) to whoever can write it hands over that identity.
    constexpr mode_t kPermissionBits = 07777;
    constexpr mode_t kCopiedBits = 01777;
    if ((now.st_mode & kPermissionBits) != (old.st_mode & kCopiedBits) &&
        ::fchmod(fd, old.st_mode & kCopiedBits) != 0) {
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

// A new file (`replacing` false) never goes over one that appeared meanwhile.
void PutInPlace(int directoryFd, TemporaryFile& replacement, const std::string& name,
                bool replacing, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Rename)) {
        ThrowErrno(staged);
    }
    const char* const from = replacement.Name().c_str();
    int renamed = replacing
                      ? ::renameat(directoryFd, from, directoryFd, name.c_str())
                      : ::renameat2(directoryFd, from, directoryFd, name.c_str(), RENAME_NOREPLACE);
    // File systems without the no-replace rename (some network ones) take the plain one.
    if (renamed != 0 && !replacing && (errno == EINVAL || errno == ENOSYS)) {
        renamed = ::renameat(directoryFd, from, directoryFd, name.c_str());
    }
    if (renamed != 0) {
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
                           const std::optional<FoundFile>& found, uid_t actingUid,
                           FaultPlan& faults) {
    const PathParts target = SplitPath(FinalPathOf(hostPath, actingUid));
    if (target.name.empty() || target.name == "." || target.name == "..") {
        ThrowErrno(EISDIR);
    }
    const UniqueFd directory = OpenDirectory(target.directory, faults);
    const std::optional<struct stat> old = ExistingFile(directory.Get(), target.name);
    if (found) {
        RequireUnchanged(directory.Get(), target.name, found->identity, hostPath);
    }
    // Readable by its owner alone until it has the old file's owner and mode, so nobody who may
    // not read the old contents reads the new ones while they are written.
    TemporaryFile replacement(directory.Get(), target.name, old ? 0600 : 0666, faults);
    if (old) {
        MatchOwnerAndMode(replacement.Fd().Get(), *old, faults);
    }
    WriteAll(replacement.Fd().Get(), pieces, faults);
    Flush(replacement.Fd().Get(), faults);
    CloseWritten(replacement.Fd(), faults);
    RequireUnchanged(directory.Get(), target.name, IdentityOf(old), hostPath);
    PutInPlace(directory.Get(), replacement, target.name, old.has_value(), faults);
    FlushDirectory(directory.Get(), faults);
}

}  // namespace brelmont::posix
