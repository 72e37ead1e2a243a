#include "hosts/posix/FinalPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/PathParts.h"
#include "support/RuntimeError.h"

namespace brelmont::posix {
namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int kMaxLinkHops = 40;

std::string LinkText(const std::string& hostPath) {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(hostPath.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            ThrowErrnoForPath(errno, hostPath);
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Refuses a link that neither the acting user nor the owner of its folder owns.
void RequireTrustedLink(const std::string& hostPath, const struct stat& link, uid_t actingUid) {
    if (link.st_uid == actingUid) {
        return;
    }
    struct stat folder {};
    if (::stat(SplitPath(hostPath).directory.c_str(), &folder) == 0 &&
        folder.st_uid == link.st_uid) {
        return;
    }
    throw RuntimeError(ErrorNumber::PermissionDenied, "Brelmont",
                       "Permission denied: " + hostPath +
                           " is a link that neither its folder's owner nor the acting user owns");
}

}  // namespace

std::string FinalPathOf(const std::string& hostPath, uid_t actingUid) {
    std::string path = hostPath;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            // Missing is fine here: the write creates the file, or reports the missing directory.
            if (errno == ENOENT) {
                return path;
            }
            ThrowErrnoForPath(errno, path);
        }
        if (!S_ISLNK(status.st_mode)) {
            return path;
        }
        RequireTrustedLink(path, status, actingUid);
        const std::string target = LinkText(path);
        path = target.starts_with('/') ? target : SplitPath(path).directory + "/" + target;
    }
    ThrowErrno(ELOOP);
}

}  // namespace brelmont::posix
