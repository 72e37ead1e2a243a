#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace brelmont::posix {

// Who owns a place in the file system.
struct Owner {
    uid_t uid = 0;
    gid_t gid = 0;
};

// The user a root run acts as in the place holding `hostPath`: the owner of the Wine prefix when
// the path lies in it (`winePrefix` empty: no prefix), else the owner of the directory that holds
// the path. Nothing when the process is not root or the place is root's own, since then the run
// already does no more than its owner could.
std::optional<Owner> PlaceOwner(const std::string& winePrefix, const std::string& hostPath);

// While it lives, this thread's file access is checked as `owner`'s (its file-system user and
// group, and that group alone as supplementary group), so the kernel refuses what the owner could
// not do and files it creates belong to the owner. Does nothing for an empty `owner`. Linux only:
// elsewhere the run keeps its own credentials.
class ActAs {
  public:
    explicit ActAs(const std::optional<Owner>& owner);
    ActAs(const ActAs&) = delete;
    ActAs& operator=(const ActAs&) = delete;
    ~ActAs();

  private:
    void Restore() noexcept;

    bool switched_ = false;
    std::vector<gid_t> groups_;
};

}  // namespace brelmont::posix
