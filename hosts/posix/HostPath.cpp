#include "hosts/posix/HostPath.h"

#include <sys/stat.h>

#include <algorithm>

namespace brelmont::posix {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Wine keeps a drive's entry even while its target is away (an unmounted disc); the entry still
// decides where the drive is, so a dangling link counts.
bool EntryExists(const std::string& hostPath) {
    struct stat status {};
    return ::lstat(hostPath.c_str(), &status) == 0;
}

std::string DriveRoot(const std::string& winePrefix, char letter) {
    const char lower = static_cast<char>(letter | 0x20);
    std::string device = winePrefix + "/dosdevices/" + lower + ":";
    if (EntryExists(device)) {
        return device;
    }
    return lower == 'c' ? winePrefix + "/drive_c" : std::string();
}

}  // namespace

std::string MapHostPath(const std::string& winePrefix, const std::string& path) {
    std::string mapped = path;
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        const std::string root = DriveRoot(winePrefix, path[0]);
        if (!root.empty()) {
            const std::string rest = path.substr(2);
            // "C:name" is relative to the drive's current directory, which for this program is
            // always the drive's root.
            const bool needsSeparator =
                !rest.empty() && rest.front() != '\\' && rest.front() != '/';
            mapped = root + (needsSeparator ? "/" : "") + rest;
        }
    }
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    return mapped;
}

}  // namespace brelmont::posix
