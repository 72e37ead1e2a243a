#pragma once

#include <string>

#include "hosts/posix/FaultPlan.h"
#include "platform/Services.h"

namespace brelmont::posix {

// The program's files on a POSIX host, with drive letters found in a Wine prefix.
class PosixFileSystem final : public platform::FileSystem {
  public:
    // `winePrefix`: the prefix directory whose dosdevices and drive_c hold the drives.
    explicit PosixFileSystem(std::string winePrefix);

    std::string HostPath(const std::string& path) const override;
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

  private:
    // The host path of a file about to be touched; "Bad file name or number" when it holds a NUL.
    std::string TouchedPath(const std::string& path) const;

    std::string winePrefix_;
    FaultPlan faults_;
};

}  // namespace brelmont::posix
