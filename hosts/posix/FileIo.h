#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "hosts/posix/FaultPlan.h"
#include "hosts/posix/UniqueFd.h"

namespace brelmont::posix {

// Which file a name led to: the same device and inode is the same file, whatever its name now.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What a caller found at a name before it replaces the file there: the file it read, or nothing.
struct FoundFile {
    std::optional<FileIdentity> identity;  // empty: no file was there
};

// Files above this size are refused before a byte is read: nothing the program edits comes near
// it, and reading one whole would take as much memory.
inline constexpr std::uint64_t kLargestReadableFile = std::uint64_t{1} << 30;

// Opens an existing file for reading without following a link at its last component and
// without waiting on a FIFO or device; anything but a regular file is refused. `status` gets what
// fstat says of the open file.
UniqueFd OpenRegularFile(const std::string& hostPath, struct stat& status, FaultPlan& faults);

// A directory opened for fsync, flock or the *at calls. A missing directory is "Path not found".
UniqueFd OpenDirectory(const std::string& hostPath, FaultPlan& faults);

// Writes all the pieces, one after another, at the file offset, carrying on after interrupted and
// partial writes. Each write takes at most kWriteChunk bytes, gathered from as many pieces as fit.
void WriteAll(int fd, std::span<const std::string_view> pieces, FaultPlan& faults);

// Exactly `length` bytes from the file offset; "Input past end of file" when fewer remain.
std::string ReadExactly(int fd, std::uint64_t length, FaultPlan& faults);

// Closes a file that was written to and throws what the close reports.
void CloseWritten(UniqueFd& fd, FaultPlan& faults);

}  // namespace brelmont::posix
