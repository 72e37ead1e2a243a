#pragma once

#include <string>

namespace brelmont::win32 {

// True when at least one file that is neither a directory nor hidden nor system matches `path`,
// whose last component may hold the wildcards * and ?. A missing file or directory is false;
// other failures of the lookup throw.
bool OrdinaryFileMatches(const std::string& path);

}  // namespace brelmont::win32
