#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

namespace brelmont::win32 {

// The system calls of the file operations whose failure a test can stage.
enum class FaultPoint {
    Open,           // opening a file: ReadFile, AppendToFile, the replacement's temporary file
    Read,           // each read of ReadFile
    Write,          // each write of at most kWriteChunk bytes: AppendToFile, ReplaceFile
    Flush,          // FlushFileBuffers of the replacement before it goes in place
    Close,          // closing a written file: AppendToFile, ReplaceFile
    Replace,        // the replacement going in place (ReplaceFile or MoveFileEx)
    DirectoryOpen,  // opening a directory: ReplaceFile (before anything is created), LockDirectory
    Lock,           // taking the lock of LockDirectory
};

inline constexpr std::size_t kFaultPointCount = static_cast<std::size_t>(FaultPoint::Lock) + 1;

// Writes go out in pieces no larger than this, so a staged write failure can strike after part
// of the data has reached the file.
inline constexpr DWORD kWriteChunk = DWORD{1} << 20;

// Staged failures: each point fails at most once, as if the system had set the error code.
class FaultPlan {
  public:
    // The `nth` call (1-based, counted from now) at `point` fails with `code`; replaces what was
    // staged for that point before.
    void Inject(FaultPoint point, int nth, DWORD code);
    void Clear() { armed_ = {}; }

    // Called just before each system call at `point`: 0 lets the call go ahead, anything else is
    // the error code it fails with instead.
    DWORD Strike(FaultPoint point);

  private:
    struct Armed {
        int callsLeft = 0;
        DWORD code = 0;
    };
    std::array<Armed, kFaultPointCount> armed_{};
};

}  // namespace brelmont::win32
