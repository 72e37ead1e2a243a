#pragma once

#include <windows.h>

#include <string>

namespace brelmont::win32 {

// The path an open of `path` lands on. The path is walked from its volume's root one name at a
// time without following anything; a symbolic link, junction or mount point met on the way is
// followed, by walking its target in turn, only when its owner may redirect the run: the
// administrators, the system or the installer service, and when the run is not `strict` also this
// user or the owner of the folder it stands in. Any other is refused with "Permission denied",
// since whoever made it could point the run at a file of their choice. A path that names nothing
// yet comes back whole from the first name that does not exist.
std::string FinalPathOf(const std::string& path, bool strict);

enum class OpenedNameCheck {
    // Not under Wine, where a Unix link on the way, which no walk sees, changes the name.
    WhereLinksAreSeen,
    Always,
};

// Refuses an open file whose name, as Windows reports it, is not `meant` (case and short names
// aside): something was swapped in on the way between the walk and the open.
void RequireOpenedAs(HANDLE file, const std::string& meant,
                     OpenedNameCheck check = OpenedNameCheck::WhereLinksAreSeen);

}  // namespace brelmont::win32
