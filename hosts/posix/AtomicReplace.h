#pragma once

#include <sys/types.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "hosts/posix/FaultPlan.h"
#include "hosts/posix/FileIo.h"

namespace brelmont::posix {

// Puts the pieces, one after another, in place of the file at `hostPath` through a temporary
// file in the same directory and a rename, so the file holds its old bytes or all the new ones
// whatever fails. Links at the path are followed as FinalPathOf allows for `actingUid`; a replaced
// file keeps its permission bits but the set-user-id and set-group-id ones (and, where the system
// allows, its owner and group), given to the temporary file before its first byte. `found`: what
// the caller found at the name (the file it read, or no file), which the name must still lead to
// when the new file goes in place ("Path/File access error" otherwise, the old file untouched). A
// new file never goes over one that appeared since.
void ReplaceFileAtomically(const std::string& hostPath, std::span<const std::string_view> pieces,
                           const std::optional<FoundFile>& found, uid_t actingUid,
                           FaultPlan& faults);

}  // namespace brelmont::posix
