#pragma once

#include <sys/types.h>

#include <string>

namespace brelmont::posix {

// The path a write through `hostPath` lands on: symbolic links naming the file itself are
// followed, also to a target that does not exist yet (the write then creates it). A link is
// followed only when the owner of the folder it stands in, or `actingUid` (the user the run does
// this path's work as), owns it (the kernel's rule for links in shared folders); any other is
// refused with "Permission denied", since whoever made it could point a privileged run at a file
// of their choosing. Not the effective user: a root run acting for a user must not follow root's
// links that user could not have made, such as one hard-linked into the user's folder.
std::string FinalPathOf(const std::string& hostPath, uid_t actingUid);

}  // namespace brelmont::posix
