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

UniqueFd OpenFile(const std::string& hostPath, int flags, FaultPlan& faults) {
    if (const int staged = faults.Strike(FaultPoint::Open)) {
        ThrowErrnoForPath(staged, hostPath);
    }
    UniqueFd fd(::open(hostPath.c_str(), flags | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        ThrowErrnoForPath(errno, hostPath);
    }
    return fd;
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

std::string PosixFileSystem::TouchedPath(const std::string& path) const {
    std::string hostPath = HostPath(path);
    if (HoldsNul(hostPath)) {
        throw RuntimeError(ErrorNumber::BadFileNameOrNumber);
    }
    return hostPath;
}

bool PosixFileSystem::OrdinaryFileExists(const std::string& path) {
    return OrdinaryFileMatches(TouchedPath(path));
}

std::uint64_t PosixFileSystem::FileLength(const std::string& path) {
    const std::string hostPath = TouchedPath(path);
    struct stat status {};
    if (::stat(hostPath.c_str(), &status) != 0) {
        ThrowErrnoForPath(errno, hostPath);
    }
    if (S_ISDIR(status.st_mode)) {
        ThrowErrno(EISDIR);
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::string PosixFileSystem::ReadFile(const std::string& path, std::uint64_t length) {
    const UniqueFd fd = OpenFile(TouchedPath(path), O_RDONLY, faults_);
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) {
        ThrowErrno(errno);
    }
    if (S_ISDIR(status.st_mode)) {
        ThrowErrno(EISDIR);
    }
    // Known short before a byte is read, and before a buffer of a bogus length is asked for.
    if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) < length) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    }
    return ReadExactly(fd.Get(), length, faults_);
}

void PosixFileSystem::ReplaceFileContents(const std::string& path,
                                          std::span<const std::string_view> pieces) {
    ReplaceFileAtomically(TouchedPath(path), pieces, faults_);
}

void PosixFileSystem::AppendToFile(const std::string& path, std::string_view contents) {
    UniqueFd fd = OpenFile(TouchedPath(path), O_WRONLY | O_APPEND | O_CREAT, faults_);
    WriteAll(fd.Get(), {&contents, 1}, faults_);
    CloseWritten(fd, faults_);
}

bool PosixFileSystem::IsDirectory(const std::string& path) {
    const std::string hostPath = HostPath(path);
    if (hostPath.empty() || HoldsNul(hostPath)) {
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
    return LockDirectoryExclusively(TouchedPath(path), faults_);
}

}  // namespace brelmont::posix
