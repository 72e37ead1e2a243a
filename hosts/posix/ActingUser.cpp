#include "hosts/posix/ActingUser.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/fsuid.h>
#endif

#include <cerrno>

#include "hosts/posix/ErrorTable.h"
#include "hosts/posix/PathParts.h"

namespace brelmont::posix {
namespace {

std::optional<Owner> OwnerOf(const std::string& hostPath) {
    struct stat status {};
    if (::stat(hostPath.c_str(), &status) != 0 || status.st_uid == 0) {
        return std::nullopt;
    }
    return Owner{status.st_uid, status.st_gid};
}

bool Inside(const std::string& hostPath, const std::string& directory) {
    return !directory.empty() && hostPath.size() > directory.size() &&
           hostPath.starts_with(directory) && hostPath[directory.size()] == '/';
}

}  // namespace

std::optional<Owner> PlaceOwner(const std::string& winePrefix, const std::string& hostPath) {
    if (::geteuid() != 0) {
        return std::nullopt;
    }
    // A prefix belongs to one user, who may point its drives anywhere; "C:\..\..\etc" stays
    // within what that user may touch.
    if (Inside(hostPath, winePrefix)) {
        if (auto owner = OwnerOf(winePrefix)) {
            return owner;
        }
    }
    return OwnerOf(SplitPath(hostPath).directory);
}

ActAs::ActAs(const std::optional<Owner>& owner) {
#ifdef __linux__
    if (!owner) {
        return;
    }
    const int count = ::getgroups(0, nullptr);
    groups_.resize(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count < 0 || ::getgroups(count, groups_.data()) < 0 || ::setgroups(1, &owner->gid) != 0) {
        ThrowErrno(errno);
    }
    // setfsuid and setfsgid report the previous value whether or not they changed anything; the
    // second call of each tells whether the switch took.
    ::setfsgid(owner->gid);
    ::setfsuid(owner->uid);
    switched_ = true;
    if (static_cast<uid_t>(::setfsuid(owner->uid)) != owner->uid ||
        static_cast<gid_t>(::setfsgid(owner->gid)) != owner->gid) {
        // Never carry on as root where the owner was meant.
        Restore();
        ThrowErrno(EPERM);
    }
#else
    (void)owner;
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

}  // namespace brelmont::posix
