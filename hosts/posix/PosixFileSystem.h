#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "hosts/posix/FaultPlan.h"
#include "hosts/posix/FileIo.h"
#include "hosts/posix/PathTrust.h"
#include "platform/Services.h"

namespace brelmont::posix {

// The program's files on a POSIX host, with drive letters found in a Wine prefix. A run as root
// does each path's work as the first user other than root who owns a place on the way to it, or
// on the way to the file that named it (ActingFor), follows only links that user or the link's
// folder's owner made (FinalPathOf), and replaces a file only while its name still leads to the
// file that was read.
class PosixFileSystem final : public platform::FileSystem {
  public:
    // `winePrefix`: the prefix directory whose dosdevices and drive_c hold the drives.
    explicit PosixFileSystem(std::string winePrefix);

    std::string HostPath(const std::string& path) const override;
    std::string ProgramPath(const std::string& hostPath) const override;
    void NamedBy(const std::string& path, const std::string& source) override;
    bool OrdinaryFileExists(const std::string& path) override;
    std::uint64_t FileLength(const std::string& path) override;
    std::string ReadFile(const std::string& path, std::uint64_t length) override;
    void ReplaceFileContents(const std::string& path,
                             std::span<const std::string_view> pieces) override;
    void AppendToFile(const std::string& path, std::string_view contents) override;
    bool IsDirectory(const std::string& path) override;
    std::string CurrentDirectory() override;
    void ChangeDirectory(const std::string& path) override;
    std::unique_ptr<platform::DirectoryLock> LockDirectory(const std::string& path) override;

    // For tests: the `nth` system call at `point` from now on fails with `errnoValue`, once.
    void InjectFault(FaultPoint point, int nth, int errnoValue) {
        faults_.Inject(point, nth, errnoValue);
    }
    void ClearFaults() { faults_.Clear(); }
    // For tests: runs at the start of every replace, between the read and the write, where
    // another process could change the file.
    void BeforeReplace(std::function<void()> hook) { beforeReplace_ = std::move(hook); }
    // How long LockDirectory waits for a lock that another process holds.
    void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

  private:
    // The host path of a file about to be touched; "Bad file name or number" when it holds a NUL,
    // "Path not found" when it names a drive the prefix does not have.
    std::string TouchedPath(const std::string& path) const;

    // Whom the work on `hostPath` is done as: asked once per operation.
    Acting ActingFor(const std::string& hostPath) const;

    std::string winePrefix_;
    FaultPlan faults_;
    // What reads and lookups found so far, by the host path they went through.
    std::map<std::string, FoundFile> found_;
    // The walks to the files that named directories, by the directory's host path.
    std::map<std::string, std::vector<WalkStep>> named_;
    std::function<void()> beforeReplace_;
    std::chrono::milliseconds lockWait_{30000};
};

}  // namespace brelmont::posix
