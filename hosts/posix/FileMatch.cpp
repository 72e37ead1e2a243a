#include "hosts/posix/FileMatch.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/PathParts.h"
#include "hosts/posix/UniqueFd.h"

namespace brelmont::posix {
namespace {

bool IsHidden(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

bool IsAbsence(int errnoValue) {
    return errnoValue == ENOENT || errnoValue == ENOTDIR;
}

// Only * and ? are wildcards to the program; fnmatch's own brackets and escapes are plain
// characters in its names.
std::string LiteralBrackets(const std::string& name) {
    std::string pattern;
    for (const char c : name) {
        if (c == '[' || c == ']' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern;
}

bool SingleFileMatches(const std::string& hostPath, const std::string& name) {
    if (IsHidden(name)) {
        return false;
    }
    struct stat status {};
    if (::stat(hostPath.c_str(), &status) != 0) {
        if (IsAbsence(errno)) {
            return false;
        }
        ThrowErrnoForPath(errno, hostPath);
    }
    return S_ISREG(status.st_mode);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool AnyFileMatches(const PathParts& parts) {
    UniqueFd opened(::open(parts.directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened.Valid()) {
        if (IsAbsence(errno)) {
            return false;
        }
        ThrowErrno(errno);
    }
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(opened.Get()));
    if (!dir) {
        ThrowErrno(errno);
    }
    opened.Release();  // the DIR owns the descriptor now
    const std::string pattern = LiteralBrackets(parts.name);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                ThrowErrno(errno);
            }
            return false;
        }
        const std::string name = entry->d_name;
        if (IsHidden(name) || ::fnmatch(pattern.c_str(), name.c_str(), 0) != 0) {
            continue;
        }
        struct stat status {};
        if (::fstatat(::dirfd(dir.get()), name.c_str(), &status, 0) != 0) {
            // A dangling or looping link, or an entry gone since the listing: not a file.
            if (IsAbsence(errno) || errno == ELOOP) {
                continue;
            }
            ThrowErrno(errno);
        }
        if (S_ISREG(status.st_mode)) {
            return true;
        }
    }
}

}  // namespace

bool OrdinaryFileMatches(const std::string& hostPath) {
    if (hostPath.empty()) {
        return false;
    }
    const PathParts parts = SplitPath(hostPath);
    if (parts.name.find_first_of("*?") == std::string::npos) {
        return SingleFileMatches(hostPath, parts.name);
    }
    return AnyFileMatches(parts);
}

}  // namespace brelmont::posix
