#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hosts/win32/Elevation.h"
#include "hosts/win32/FaultPlan.h"
#include "hosts/win32/FileIo.h"
#include "hosts/win32/InUseWait.h"
#include "platform/Services.h"

namespace brelmont::win32 {

// The program's files through the Windows API's wide functions: paths are UTF-8 inside, file
// contents pass byte for byte. Links on the way to a file are followed only where FinalPathOf
// trusts their owner, and a file is replaced only while its name still leads to the file that was
// read.
class Win32FileSystem final : public platform::FileSystem {
  public:
    // Windows paths are the program's own.
    std::string HostPath(const std::string& path) const override { return path; }
    // Text in the system's ANSI code page, as Kelvane writes its files, unless it is well-formed
    // UTF-8: ANSI text with letters beyond ASCII seldom is by chance.
    std::string PathFromFileText(const std::string& text) const override;
    // Refuses a data directory that names a device always, and one on a network share when the
    // run is elevated: a file others may write could point the run there.
    void NamedBy(const std::string& path, const std::string& source) override;
    // The same refusals for the program directory an installer names.
    void NamedByCaller(const std::string& path) override;
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

    // For tests: the `nth` system call at `point` from now on fails with `code`, once.
    void InjectFault(FaultPoint point, int nth, DWORD code) { faults_.Inject(point, nth, code); }
    void ClearFaults() { faults_.Clear(); }
    // How long LockDirectory waits for a lock that another process holds.
    void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }
    // How long a read or replace waits for a program that holds the file without sharing it.
    void SetInUseWait(std::chrono::milliseconds wait) { inUseWait_ = wait; }
    // For tests: runs at the start of every replace, between the read and the write, where
    // another process could change the file.
    void BeforeReplace(std::function<void()> hook) { beforeReplace_ = std::move(hook); }
    // For tests: whether the run counts as elevated (ProcessIsElevated by default).
    void SetElevated(bool elevated) { elevated_ = elevated; }

  private:
    // Whether links on the way to `path` must be an administrator's: an elevated run reading from
    // a data directory that Kelvane.conf named.
    bool Strict(const std::string& path) const;

    FaultPlan faults_;
    // The data directories named so far, whose files an elevated run reads as strictly as it
    // writes them.
    std::vector<std::string> dataDirectories_;
    // What reads and lookups found so far, by the path they went through.
    std::map<std::string, FoundFile> found_;
    std::function<void()> beforeReplace_;
    std::chrono::milliseconds lockWait_{30000};
    std::chrono::milliseconds inUseWait_ = kInUseWait;
    bool elevated_ = ProcessIsElevated();
};

}  // namespace brelmont::win32
