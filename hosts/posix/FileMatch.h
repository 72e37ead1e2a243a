#pragma once

#include <string>

namespace brelmont::posix {

// True when at least one regular file (links followed) not named ".*" matches `hostPath`, whose
// last component may hold the wildcards * and ?. A missing file or directory is false; other
// failures of the lookup throw.
bool OrdinaryFileMatches(const std::string& hostPath);

}  // namespace brelmont::posix
