#include "hosts/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "hosts/posix/AtomicReplace.h"
#include "hosts/posix/DirectoryLock.h"
#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/FileIo.h"
#include "hosts/posix/FileMatch.h"
#include "hosts/posix/FinalPath.h"
#include "hosts/posix/HostPath.h"
#include "hosts/posix/UniqueFd.h"
#include "support/RuntimeError.h"

namespace brelmont::posix {
namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// The session log: appended to only when it is a regular file, and never through a link, which
// whoever may write the log folder could point anywhere.
UniqueFd OpenForAppending(const std::string& hostPath, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Open)) {
        ThrowErrnoForPath(staged, hostPath);
    }
    UniqueFd fd(::open(hostPath.c_str(),
                       O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        ThrowErrnoForPath(errno, hostPath);
    }
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) {
        ThrowErrno(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    return fd;
}

// The file a read through `hostPath` opens: links followed as a replace would follow them.
UniqueFd OpenForReading(const std::string& hostPath, uid_t actingUid, struct stat& status,
                        FaultPlan& faults) {
    return OpenRegularFile(FinalPathOf(hostPath, actingUid), status, faults);
}

// The system ends a path at its first NUL byte, so a path text that holds one would reach another
// file than the one named: "C:\Data<NUL>x\Launch.local" would find no file, and the write would
// then replace C:\Data\Launch.local with what was built from nothing.
bool HoldsNul(const std::string& hostPath) {
    return hostPath.find('\0') != std::string::npos;
}

}  // namespace

PosixFileSystem::PosixFileSystem(std::string winePrefix)
    : winePrefix_(WithoutTrailingSlashes(std::move(winePrefix))) {}

std::string PosixFileSystem::HostPath(const std::string& path) const {
    return MapHostPath(winePrefix_, path);
}

std::string PosixFileSystem::ProgramPath(const std::string& hostPath) const {
    return MapProgramPath(winePrefix_, hostPath);
}

void PosixFileSystem::NamedBy(const std::string& path, const std::string& source) {
    named_[WithoutTrailingSlashes(HostPath(path))] = WalkPath(HostPath(source));
}

std::string PosixFileSystem::TouchedPath(const std::string& path) const {
    if (NamesUnmappedDrive(winePrefix_, path)) {
        throw RuntimeError(ErrorNumber::PathNotFound);
    }
    std::string hostPath = HostPath(path);
    if (HoldsNul(hostPath)) {
        throw RuntimeError(ErrorNumber::BadFileNameOrNumber);
    }
    return hostPath;
}

Acting PosixFileSystem::ActingFor(const std::string& hostPath) const {
    std::span<const WalkStep> naming;
    for (const auto& [directory, walk] : named_) {
        if (hostPath == directory || (hostPath.starts_with(directory) &&
                                      (directory == "/" || hostPath[directory.size()] == '/'))) {
            naming = walk;
        }
    }
    return posix::ActingFor(naming, hostPath);
}

bool PosixFileSystem::OrdinaryFileExists(const std::string& path) {
    const std::string hostPath = TouchedPath(path);
    const ActAs acting(ActingFor(hostPath).credentials);
    const bool exists = OrdinaryFileMatches(hostPath);
    if (!exists && hostPath.find_first_of("*?") == std::string::npos) {
        found_[hostPath] = FoundFile{};
    }
    return exists;
}

std::uint64_t PosixFileSystem::FileLength(const std::string& path) {
    const std::string hostPath = TouchedPath(path);
    const Acting acting = ActingFor(hostPath);
    const ActAs actAs(acting.credentials);
    // Looked at, not opened: the read that follows opens the file and refuses what is no regular
    // file.
    const std::string finalPath = FinalPathOf(hostPath, acting.uid);
    struct stat status {};
    if (::stat(finalPath.c_str(), &status) != 0) {
        ThrowErrnoForPath(errno, finalPath);
    }
    if (S_ISDIR(status.st_mode)) {
        ThrowErrno(EISDIR);
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::string PosixFileSystem::ReadFile(const std::string& path, std::uint64_t length) {
    const std::string hostPath = TouchedPath(path);
    const Acting acting = ActingFor(hostPath);
    const ActAs actAs(acting.credentials);
    struct stat status {};
    const UniqueFd fd = OpenForReading(hostPath, acting.uid, status, faults_);
    // Known short before a byte is read, and before a buffer of a bogus length is asked for.
    if (static_cast<std::uint64_t>(status.st_size) < length) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    }
    if (length > kLargestReadableFile) {
        throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    std::string bytes = ReadExactly(fd.Get(), length, faults_);
    found_[hostPath] = FoundFile{FileIdentity{status.st_dev, status.st_ino}};
    return bytes;
}

void PosixFileSystem::ReplaceFileContents(const std::string& path,
                                          std::span<const std::string_view> pieces) {
    const std::string hostPath = TouchedPath(path);
    if (beforeReplace_) {
        beforeReplace_();
    }
    const Acting acting = ActingFor(hostPath);
    const ActAs actAs(acting.credentials);
    const auto seen = found_.find(hostPath);
    const std::optional<FoundFile> found =
        seen != found_.end() ? std::optional(seen->second) : std::nullopt;
    ReplaceFileAtomically(hostPath, pieces, found, acting.uid, faults_);
    found_.erase(hostPath);
}

void PosixFileSystem::AppendToFile(const std::string& path, std::string_view contents) {
    const std::string hostPath = TouchedPath(path);
    const ActAs acting(ActingFor(hostPath).credentials);
    UniqueFd fd = OpenForAppending(hostPath, faults_);
    WriteAll(fd.Get(), {&contents, 1}, faults_);
    CloseWritten(fd, faults_);
}

bool PosixFileSystem::IsDirectory(const std::string& path) {
    const std::string hostPath = HostPath(path);
    if (hostPath.empty() || HoldsNul(hostPath) || NamesUnmappedDrive(winePrefix_, path)) {
        return false;
    }
    struct stat status {};
    if (::stat(hostPath.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return false;
        }
        ThrowErrnoForPath(errno, hostPath);
    }
    return S_ISDIR(status.st_mode);
}

std::string PosixFileSystem::CurrentDirectory() {
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            ThrowErrno(errno, true);
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

void PosixFileSystem::ChangeDirectory(const std::string& path) {
    const std::string hostPath = TouchedPath(path);
    if (::chdir(hostPath.c_str()) != 0) {
        ThrowErrno(errno, true);
    }
}

std::unique_ptr<platform::DirectoryLock> PosixFileSystem::LockDirectory(const std::string& path) {
    const std::string hostPath = TouchedPath(path);
    const ActAs acting(ActingFor(WithoutTrailingSlashes(hostPath)).credentials);
    return LockDirectoryExclusively(hostPath, lockWait_, faults_);
}

}  // namespace brelmont::posix
