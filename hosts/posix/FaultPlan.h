#pragma once

#include <cstddef>

#include "hosts/common/FaultPlan.h"

namespace brelmont::posix {

// The system calls of the file operations whose failure a test can stage.
enum class FaultPoint {
    Open,            // opening a file: ReadFile, AppendToFile, the replacement's temporary file
    Read,            // each read of ReadFile
    Write,           // each write of at most kWriteChunk bytes: AppendToFile, ReplaceFile
    Permissions,     // giving the replacement the old file's permission bits
    Flush,           // fsync of the replacement before it goes in place
    Close,           // closing a written file: AppendToFile, ReplaceFile
    Rename,          // the replacement going in place
    DirectoryOpen,   // opening a directory: ReplaceFile (before anything is created), LockDirectory
    DirectoryFlush,  // fsync of the directory once the replacement is in place
    Lock,            // the flock of LockDirectory
};

inline constexpr std::size_t kFaultPointCount = static_cast<std::size_t>(FaultPoint::Lock) + 1;

// Writes go out in pieces no larger than this, so a staged write failure can strike after part
// of the data has reached the file.
inline constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

using FaultPlan = hosts::FaultPlan<FaultPoint, int, kFaultPointCount>;

}  // namespace brelmont::posix
