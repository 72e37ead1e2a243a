#pragma once

#include <cstdint>
#include <string>

namespace brelmont::posix {

// The classic run-time error number for an errno value. A missing entry is "File not found" unless
// the directory it should be in is missing too (`directoryMissing`): then "Path not found".
std::int32_t ErrorNumberFor(int errnoValue, bool directoryMissing = false);

// Throws brelmont::RuntimeError with the mapped number and its standard description.
[[noreturn]] void ThrowErrno(int errnoValue, bool directoryMissing = false);

// As ThrowErrno for a failure on `hostPath`, looking at the path's directory to tell a missing
// file from a missing path.
[[noreturn]] void ThrowErrnoForPath(int errnoValue, const std::string& hostPath);

}  // namespace brelmont::posix
