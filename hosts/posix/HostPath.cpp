#include "hosts/posix/HostPath.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

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

bool NamesDrive(const std::string& path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

bool SameButAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return x == y || (IsAsciiLetter(x) && (x | 0x20) == (y | 0x20));
           });
}

// The entry of `directory` that `name` names without regard to ASCII case, the first in byte order
// where several do; none when none does.
std::optional<std::string> StoredName(const std::string& directory, const std::string& name) {
    std::optional<std::string> stored;
    std::error_code error;
    for (std::filesystem::directory_iterator entries(directory, error), end;
         !error && entries != end; entries.increment(error)) {
        const std::string entry = entries->path().filename().string();
        if (SameButAsciiCase(entry, name) && (!stored || entry < *stored)) {
            stored = entry;
        }
    }
    return stored;
}

// Wine looks names up without regard to case, as Windows does: a DATADIR of
// "c:\programdata\kelvane" is Kelvane's C:\ProgramData\Kelvane, and a launch.local there is its
// Launch.local. Each name of `rest` (below a drive's root) that is not there as written takes the
// spelling of an entry that differs from it in case only; from the first that matches nothing on,
// the names stay as written (a file still to be made). ASCII letters only: other letters are
// compared as they are.
std::string WithStoredNames(const std::string& root, const std::string& tail) {
    std::string resolved = root;
    bool resolving = true;
    // `tail` is empty or starts with "/": each name follows a "/" of its own.
    for (std::size_t at = 0; at < tail.size();) {
        const std::size_t slash = tail.find('/', at + 1);
        const std::size_t end = slash == std::string::npos ? tail.size() : slash;
        std::string name = tail.substr(at + 1, end - at - 1);
        if (resolving && !name.empty() && name != "." && name != ".." &&
            name.find_first_of("*?") == std::string::npos) {
            struct stat status {};
            if (::lstat((resolved + "/" + name).c_str(), &status) != 0) {
                const std::optional<std::string> stored =
                    errno == ENOENT ? StoredName(resolved, name) : std::nullopt;
                resolving = stored.has_value();
                name = stored.value_or(name);
            }
        }
        resolved += "/" + name;
        at = end;
    }
    return resolved;
}

}  // namespace

bool NamesUnmappedDrive(const std::string& winePrefix, const std::string& path) {
    return NamesDrive(path) && DriveRoot(winePrefix, path[0]).empty();
}

std::string MapHostPath(const std::string& winePrefix, const std::string& path) {
    std::string mapped = path;
    if (NamesDrive(path)) {
        const std::string root = DriveRoot(winePrefix, path[0]);
        if (!root.empty()) {
            std::string rest = path.substr(2);
            std::replace(rest.begin(), rest.end(), '\\', '/');
            // "C:name" is relative to the drive's current directory, which for this program is
            // always the drive's root.
            if (!rest.empty() && rest.front() != '/') {
                rest.insert(0, 1, '/');
            }
            return WithStoredNames(root, rest);
        }
    }
    std::replace(mapped.begin(), mapped.end(), '\\', '/');
    return mapped;
}

namespace {

std::string Normal(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    std::string text = (error ? path.lexically_normal() : canonical).string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

// The part of `path` below `root`, or nothing when it is not below it.
std::optional<std::string> Below(const std::string& path, const std::string& root) {
    if (root == "/") {
        return path.substr(1);
    }
    if (path == root) {
        return std::string();
    }
    if (path.size() > root.size() && path.starts_with(root) && path[root.size()] == '/') {
        return path.substr(root.size() + 1);
    }
    return std::nullopt;
}

}  // namespace

std::string MapProgramPath(const std::string& winePrefix, const std::string& hostPath) {
    const std::string path = Normal(hostPath);
    std::vector<std::pair<char, std::string>> drives;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(winePrefix + "/dosdevices", error)) {
        const std::string name = entry.path().filename().string();
        // Lower-case letters only: those are the entries the way there (DriveRoot) takes.
        if (name.size() == 2 && name[1] == ':' && name[0] >= 'a' && name[0] <= 'z') {
            // Read rather than resolved, so a drive whose target is away (an unmounted disc)
            // still names its place.
            std::filesystem::path target = entry.path();
            std::error_code unreadable;
            const std::filesystem::path link = std::filesystem::read_symlink(target, unreadable);
            if (!unreadable) {
                target = link.is_absolute() ? link : entry.path().parent_path() / link;
            }
            drives.emplace_back(static_cast<char>(name[0] & ~0x20), Normal(target));
        }
    }
    // Drive C is drive_c where dosdevices does not say otherwise, as for the way there.
    if (std::none_of(drives.begin(), drives.end(), [](const auto& d) { return d.first == 'C'; })) {
        drives.emplace_back('C', Normal(winePrefix + "/drive_c"));
    }
    std::optional<std::string> mapped;
    std::size_t deepest = 0;
    for (const auto& [drive, root] : drives) {
        const std::optional<std::string> below = Below(path, root);
        if (below && (!mapped || root.size() >= deepest)) {
            std::string rest = *below;
            std::replace(rest.begin(), rest.end(), '/', '\\');
            mapped = std::string(1, drive) + ":\\" + rest;
            deepest = root.size();
        }
    }
    // Without a drive that holds the folder (a prefix without Z:) a drive form would lead
    // elsewhere; the host path names it, and the file services take it unchanged.
    if (!mapped) {
        std::string unchanged = hostPath;
        while (unchanged.size() > 1 && unchanged.back() == '/') {
            unchanged.pop_back();
        }
        return unchanged;
    }
    return *mapped;
}

}  // namespace brelmont::posix
