#pragma once

#include <string>

namespace brelmont::posix {

// The path a write through `hostPath` lands on: symbolic links naming the file itself are
// followed, also to a target that does not exist yet (the write then creates it). A link is
// followed only when the owner of the folder it stands in, or the running user, owns it (the
// kernel's rule for links in shared folders); any other is refused with "Permission denied",
// since whoever made it could point a privileged run at a file of their choosing.
std::string FinalPathOf(const std::string& hostPath);

}  // namespace brelmont::posix
