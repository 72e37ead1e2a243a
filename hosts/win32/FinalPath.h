#pragma once

#include <string>

namespace brelmont::win32 {

// The path a write through `path` lands on: a symbolic link naming the file itself is followed.
// A path that names nothing yet, or that the system cannot resolve, comes back as it is.
// A reparse point at the path (a symbolic link, a junction) is followed only when the owner of
// the folder it stands in, or this process's user, owns it; any other is refused with
// "Permission denied", since whoever made it could point an elevated run at a file of their choice.
std::string FinalPathOf(const std::string& path);

}  // namespace brelmont::win32
