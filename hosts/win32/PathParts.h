#pragma once

#include <string>

namespace brelmont::win32 {

struct PathParts {
    std::string directory;  // "." when the path names no directory; a root keeps its "\"
    std::string name;       // empty when the path ends in a separator
};

// Splits a path at its last "\" or "/".
PathParts SplitPath(const std::string& path);

}  // namespace brelmont::win32
