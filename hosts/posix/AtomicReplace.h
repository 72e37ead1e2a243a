#pragma once

#include <span>
#include <string>
#include <string_view>

#include "hosts/posix/FaultPlan.h"

namespace brelmont::posix {

// Puts the pieces, one after another, in place of the file at `hostPath` through a temporary
// file in the same directory and a rename, so the file holds its old bytes or all the new ones
// whatever fails. Links at the path are followed; a replaced file keeps its permission bits (and,
// where the system allows, its owner and group).
void ReplaceFileAtomically(const std::string& hostPath, std::span<const std::string_view> pieces,
                           FaultPlan& faults);

}  // namespace brelmont::posix
