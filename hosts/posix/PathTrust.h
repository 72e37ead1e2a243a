#pragma once

#include <sys/types.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brelmont::posix {

// One place a walk down a path met: a directory, the file itself, or a link on the way.
struct WalkStep {
    uid_t owner = 0;
    bool link = false;
};

// Every place on the way to `hostPath`, in the order met, as the kernel would meet them but
// without following a link blindly: each component is looked at itself (a link is a step of its
// own, owned by whoever made it) and a link's target is then walked in turn. A relative path is
// walked from "/" through the current directory. The walk ends early, without an error, where a
// component is missing or cannot be passed; what lies beyond is the operation's to report.
std::vector<WalkStep> WalkPath(const std::string& hostPath);

// Whom a root run acts as for a file: the first owner other than root on `naming` (the walk to
// the file that named the path, such as Kelvane.conf for the data directory; empty when the path
// was named by the caller), else the first on `walk` (the walk to the file itself); root when both
// meet nothing but root. Whoever owns any place on the way can redirect what follows it, so the
// run may do no more there than they could.
uid_t ActingUid(std::span<const WalkStep> naming, std::span<const WalkStep> walk);

// The credentials an account acts with: its uid, the primary group of its account entry and its
// supplementary groups. An owner without an account entry gets the overflow group and no others,
// never the group of some file, which its owner may have chosen to keep that user out.
struct Credentials {
    uid_t uid = 0;
    gid_t gid = 0;
    std::vector<gid_t> groups;
};
Credentials CredentialsOf(uid_t uid);

// While it lives, this thread's file access is checked with `credentials` (file-system user and
// group, and the supplementary groups), so the kernel refuses what that user could not do and the
// files it creates belong to them. Does nothing for empty credentials. Linux only: elsewhere the
// run keeps its own.
class ActAs {
  public:
    explicit ActAs(const std::optional<Credentials>& credentials);
    ActAs(const ActAs&) = delete;
    ActAs& operator=(const ActAs&) = delete;
    ~ActAs();

  private:
    void Restore() noexcept;

    bool switched_ = false;
    std::vector<gid_t> groups_;
};

// What the file services do a path's work as: `uid` is the user links must belong to, and
// `credentials` the switch to make, empty when the run already is that user.
struct Acting {
    uid_t uid = 0;
    std::optional<Credentials> credentials;
};

// The one place that decides whom a run trusts with a path: for a root run the walks decide
// (ActingUid), for anyone else the run's own user, whom the kernel already checks.
Acting ActingFor(std::span<const WalkStep> naming, const std::string& hostPath);

}  // namespace brelmont::posix
