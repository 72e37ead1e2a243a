#pragma once

// Whom a Windows run lets redirect its paths, decided over what a walk of the path saw: free of
// operating-system headers, so that the decision is tested on every host.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::host {

// What the walk saw at one path, opened without following a reparse point at its end.
struct SeenObject {
    bool exists = false;
    // A symbolic link, junction or mount point: a name that leads somewhere else.
    bool redirects = false;
    // The owner's SID as text ("S-1-5-32-544"); empty when it could not be read.
    std::string owner;
    // Where a redirect leads, as stored in it ("\??\C:\x", "..\x"); none when it cannot be read.
    std::optional<std::string> target;
};

struct ReparseTrust {
    // An elevated run in a folder whose files it edits for Kelvane, or in its log's folder:
    // only administrators, the system and the installer service may redirect it.
    bool strict = false;
    // The process's user and the owner its new objects get.
    std::vector<std::string> thisUser;
};

// Administrators, SYSTEM and TrustedInstaller: whoever is one of them could change the file at the
// end of any redirect anyway.
bool IsAdministrativeOwner(const std::string& sid);

// A redirect owned by `owner`, standing in a folder owned by `folderOwner`, may be followed.
bool TrustsRedirect(const std::string& owner, const std::string& folderOwner,
                    const ReparseTrust& trust);

// The root a walk of `path` starts from ("C:\", "\\server\share\", "\\?\Volume{...}\") and the
// names after it, with "." and ".." taken away as Windows takes them, from the text. None for a
// path that is relative or names a device.
struct RootedPath {
    std::string root;
    std::vector<std::string> names;
};
std::optional<RootedPath> RootedPathOf(const std::string& path);

using LookAt = std::function<SeenObject(const std::string& path)>;

// Walks `path` from its root one name at a time, looking at each without following it; a redirect
// that `trust` accepts is followed by walking its target in turn, and any other is refused with
// "Permission denied" before the run opens anything through it. Returns the path the walk arrived
// at, every redirect replaced by where it leads: the name an open of the file must come back
// with. A path with no root to walk from comes back as it is.
std::string ChaseReparsePoints(const std::string& path, const LookAt& look,
                               const ReparseTrust& trust);

}  // namespace brelmont::host
