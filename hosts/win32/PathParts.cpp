#include "hosts/win32/PathParts.h"

namespace brelmont::win32 {

PathParts SplitPath(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        // "C:name" lies in the drive's current directory, which "C:" names.
        if (path.size() >= 2 && path[1] == ':') {
            return {path.substr(0, 2), path.substr(2)};
        }
        return {".", path};
    }
    std::string directory = path.substr(0, cut);
    // Without its separator "C:\" would be C's current directory and "\" no directory at all.
    if (directory.empty() || directory.back() == ':') {
        directory += path[cut];
    }
    return {directory, path.substr(cut + 1)};
}

}  // namespace brelmont::win32
