#include "hosts/posix/PathTrust.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/fsuid.h>
#endif

#include <cerrno>
#include <deque>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/UniqueFd.h"

namespace brelmont::posix {
namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int kMaxLinkHops = 40;
// The kernel's overflow group, which is no one's group on purpose.
constexpr gid_t kNoGroup = 65534;

std::deque<std::string> Components(const std::string& path) {
    std::deque<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        const std::string component = path.substr(start, slash - start);
        if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = slash + 1;
    }
    return components;
}

std::optional<std::string> LinkTarget(int linkFd) {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = ::readlinkat(linkFd, "", buffer.data(), buffer.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> CurrentDirectory() {
    std::string buffer(256, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

// "/" opened, and its step added to the walk.
UniqueFd OpenRoot(std::vector<WalkStep>& steps) {
    UniqueFd root(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (root.Valid() && ::fstat(root.Get(), &status) == 0) {
        steps.push_back({status.st_uid, false});
    }
    return root;
}

}  // namespace

std::vector<WalkStep> WalkPath(const std::string& hostPath) {
    std::vector<WalkStep> steps;
    std::string path = hostPath;
    if (!path.starts_with('/')) {
        const std::optional<std::string> current = CurrentDirectory();
        if (!current) {
            return steps;
        }
        path = *current + "/" + path;
    }
    UniqueFd directory = OpenRoot(steps);
    std::deque<std::string> pending = Components(path);
    int hops = 0;
    while (directory.Valid() && !pending.empty()) {
        const std::string name = std::move(pending.front());
        pending.pop_front();
        UniqueFd next(::openat(directory.Get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status {};
        if (!next.Valid() || ::fstat(next.Get(), &status) != 0) {
            return steps;
        }
        steps.push_back({status.st_uid, S_ISLNK(status.st_mode)});
        if (S_ISLNK(status.st_mode)) {
            const std::optional<std::string> target = LinkTarget(next.Get());
            if (++hops > kMaxLinkHops || !target) {
                return steps;
            }
            const std::deque<std::string> inner = Components(*target);
            pending.insert(pending.begin(), inner.begin(), inner.end());
            if (target->starts_with('/')) {
                directory = OpenRoot(steps);
            }
        } else if (S_ISDIR(status.st_mode)) {
            directory = std::move(next);
        } else if (!pending.empty()) {
            // A file in the middle of a path: the lookup fails there.
            return steps;
        }
    }
    return steps;
}

uid_t ActingUid(std::span<const WalkStep> naming, std::span<const WalkStep> walk) {
    for (const std::span<const WalkStep> steps : {naming, walk}) {
        for (const WalkStep& step : steps) {
            if (step.owner != 0) {
                return step.owner;
            }
        }
    }
    return 0;
}

Credentials CredentialsOf(uid_t uid) {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    int error = 0;
    while ((error = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (error != 0 || found == nullptr) {
        return Credentials{uid, kNoGroup, {}};
    }
    Credentials credentials{uid, entry.pw_gid, {}};
    int count = 32;
    for (;;) {
        credentials.groups.resize(static_cast<std::size_t>(count));
        const int had = count;
        if (::getgrouplist(entry.pw_name, entry.pw_gid, credentials.groups.data(), &count) >= 0) {
            credentials.groups.resize(static_cast<std::size_t>(count));
            return credentials;
        }
        // Some C libraries report -1 without saying how many groups there are.
        count = count > had ? count : had * 2;
    }
}

ActAs::ActAs(const std::optional<Credentials>& credentials) {
#ifdef __linux__
    if (!credentials) {
        return;
    }
    const int count = ::getgroups(0, nullptr);
    groups_.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count < 0 || ::getgroups(count, groups_.data()) < 0 ||
        ::setgroups(credentials->groups.size(), credentials->groups.data()) != 0) {
        ThrowErrno(errno);
    }
    switched_ = true;
    // setfsuid and setfsgid report the previous value whether or not they changed anything; the
    // second call of each tells whether the switch took.
    ::setfsgid(credentials->gid);
    ::setfsuid(credentials->uid);
    if (static_cast<uid_t>(::setfsuid(credentials->uid)) != credentials->uid ||
        static_cast<gid_t>(::setfsgid(credentials->gid)) != credentials->gid) {
        // Never carry on as root where another user was meant.
        Restore();
        ThrowErrno(EPERM);
    }
#else
    (void)credentials;
#endif
}

ActAs::~ActAs() {
    Restore();
}

void ActAs::Restore() noexcept {
#ifdef __linux__
    if (!switched_) {
        return;
    }
    switched_ = false;
    ::setfsuid(::geteuid());
    ::setfsgid(::getegid());
    ::setgroups(groups_.size(), groups_.data());
#endif
}

Acting ActingFor(std::span<const WalkStep> naming, const std::string& hostPath) {
    if (::geteuid() != 0) {
        return Acting{::geteuid(), std::nullopt};
    }
    // The naming file's owner decides before the path's own: no need to walk it then.
    uid_t uid = ActingUid(naming, {});
    if (uid == 0) {
        uid = ActingUid({}, WalkPath(hostPath));
    }
    if (uid == 0) {
        return Acting{0, std::nullopt};
    }
    return Acting{uid, CredentialsOf(uid)};
}

}  // namespace brelmont::posix
