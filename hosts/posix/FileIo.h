#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "hosts/posix/FaultPlan.h"
#include "hosts/posix/UniqueFd.h"

namespace brelmont::posix {

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
