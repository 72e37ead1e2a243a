#pragma once

#include <string>

namespace brelmont::posix {

struct PathParts {
    std::string directory;  // "." when the path names no directory
    std::string name;       // empty when the path ends in "/"
};

// Splits a host path at its last "/".
PathParts SplitPath(const std::string& hostPath);

// True when `hostPath` names a directory (symbolic links followed); false on any failure.
bool IsExistingDirectory(const std::string& hostPath);

}  // namespace brelmont::posix
