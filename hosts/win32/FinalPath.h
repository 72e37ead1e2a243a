#pragma once

#include <string>

namespace brelmont::win32 {

// The path a write through `path` lands on: a symbolic link naming the file itself is followed.
// A path that names nothing yet, or that the system cannot resolve, comes back as it is.
std::string FinalPathOf(const std::string& path);

}  // namespace brelmont::win32
