#include "hosts/posix/PathParts.h"

#include <sys/stat.h>

namespace brelmont::posix {

PathParts SplitPath(const std::string& hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos) {
        return {".", hostPath};
    }
    return {slash == 0 ? std::string("/") : hostPath.substr(0, slash), hostPath.substr(slash + 1)};
}

bool IsExistingDirectory(const std::string& hostPath) {
    struct stat status {};
    return ::stat(hostPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace brelmont::posix
