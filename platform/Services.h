#pragma once

// The host services the program's logic calls: files, the event log, the clock and the process.
// Implementations live below platform/ (POSIX, and a test double in tests/); nothing here includes
// an operating-system header.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace brelmont::platform {

// Failures of these operations are thrown as brelmont::RuntimeError carrying the classic run-time
// error numbers (support/RuntimeError.h).

// Held while it lives; released by its destructor.
class DirectoryLock {
  public:
    virtual ~DirectoryLock() = default;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The host's form of a path text of the program; applied only where a file is touched, so
    // every text shown or logged keeps the form the program built.
    virtual std::string HostPath(const std::string& path) const = 0;

    // The program's form of a directory a person chose on the host (a browse dialog's answer): the
    // inverse of HostPath. The same text where the two forms are one.
    virtual std::string ProgramPath(const std::string& hostPath) const { return hostPath; }

    // The program's form of a path a file holds (the data directory Kelvane.conf names), read
    // the way the host's own programs write such texts. The same bytes where the two are one.
    virtual std::string PathFromFileText(const std::string& text) const { return text; }

    // Says that the directory at `path` was named by the file at `source` (the data directory
    // Kelvane.conf names): whatever is done in it is trusted no more than whoever could write
    // `source`. Where the host keeps no owners on files, nothing to do.
    virtual void NamedBy(const std::string& path, const std::string& source) {
        (void)path;
        (void)source;
    }

    // Says that the caller named Kelvane's program directory at `path` itself (its environment):
    // a host refuses there what it would not let an elevated run be pointed at at all.
    virtual void NamedByCaller(const std::string& path) { (void)path; }

    // True when at least one ordinary file matches: no directories, no hidden or system files;
    // the last component may hold * and ?. Throws when the lookup itself fails.
    virtual bool OrdinaryFileExists(const std::string& path) = 0;

    virtual std::uint64_t FileLength(const std::string& path) = 0;

    // Exactly `length` bytes from the first byte of the file, one character per byte.
    virtual std::string ReadFile(const std::string& path, std::uint64_t length) = 0;

    // Puts the pieces, one after another, in place of the file at `path` so that the file holds
    // either its old bytes or all the new ones, whatever fails. A symbolic link at `path` is
    // followed.
    virtual void ReplaceFileContents(const std::string& path,
                                     std::span<const std::string_view> pieces) = 0;
    void ReplaceFile(const std::string& path, std::string_view contents) {
        ReplaceFileContents(path, {&contents, 1});
    }

    // Appends to the file, creating the file (never its directory) when missing.
    virtual void AppendToFile(const std::string& path, std::string_view contents) = 0;

    virtual bool IsDirectory(const std::string& path) = 0;

    virtual std::string CurrentDirectory() = 0;
    virtual void ChangeDirectory(const std::string& path) = 0;

    // An advisory lock on a directory that other runs of the program respect; blocks until it is
    // had. Nothing is created in the directory.
    virtual std::unique_ptr<DirectoryLock> LockDirectory(const std::string& path) = 0;
};

class EventLog {
  public:
    virtual ~EventLog() = default;
    // One entry of type error. Never fails towards the caller.
    virtual void WriteError(const std::string& text) = 0;
};

struct LocalTime {
    int day = 1;              // 1..31
    std::string monthAbbrev;  // the locale's abbreviated month name
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;

    // "3.3.6", as the window title, the log and the Qt module name it.
    std::string Text() const {
        return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
    }
};

class Process {
  public:
    virtual ~Process() = default;
    // The command line's argument text: everything after the program's own name, as one text.
    virtual std::string ArgumentText() = 0;
    // The directory the program file lies in, without a trailing separator.
    virtual std::string ProgramDirectory() = 0;
    virtual Version ProgramVersion() = 0;
};

// Everything but the windows, handed to one run.
struct Services {
    FileSystem& files;
    EventLog& eventLog;
    Clock& clock;
    Process& process;
};

}  // namespace brelmont::platform
