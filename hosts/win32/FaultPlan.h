#pragma once

#include <windows.h>

#include <cstddef>

#include "hosts/common/FaultPlan.h"

namespace brelmont::win32 {

// The system calls of the file operations whose failure a test can stage.
enum class FaultPoint {
    Open,           // opening a file: ReadFile, AppendToFile, the replacement's temporary file
    Read,           // each read of ReadFile
    Write,          // each write of at most kWriteChunk bytes: AppendToFile, ReplaceFile
    Flush,          // FlushFileBuffers of the replacement before it goes in place
    Close,          // closing a written file: AppendToFile, ReplaceFile
    Replace,        // the replacement going in place (ReplaceFile or MoveFileEx); staged as
                    // ERROR_UNABLE_TO_MOVE_REPLACEMENT, the old file is removed as Windows would
    DirectoryOpen,  // opening a directory: ReplaceFile (before anything is created), LockDirectory
    Lock,           // taking the lock of LockDirectory
};

inline constexpr std::size_t kFaultPointCount = static_cast<std::size_t>(FaultPoint::Lock) + 1;

// Writes go out in pieces no larger than this, so a staged write failure can strike after part
// of the data has reached the file.
inline constexpr DWORD kWriteChunk = DWORD{1} << 20;

using FaultPlan = hosts::FaultPlan<FaultPoint, DWORD, kFaultPointCount>;

}  // namespace brelmont::win32
