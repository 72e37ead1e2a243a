#pragma once

#include <array>
#include <cstddef>

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

// Staged failures: each point fails at most once, as if the system had returned the errno.
class FaultPlan {
  public:
    // The `nth` call (1-based, counted from now) at `point` fails with `errnoValue`; replaces
    // what was staged for that point before.
    void Inject(FaultPoint point, int nth, int errnoValue);
    void Clear() { armed_ = {}; }

    // Called just before each system call at `point`: 0 lets the call go ahead, anything else is
    // the errno it fails with instead.
    int Strike(FaultPoint point);

  private:
    struct Armed {
        int callsLeft = 0;
        int errnoValue = 0;
    };
    std::array<Armed, kFaultPointCount> armed_{};
};

}  // namespace brelmont::posix
