#pragma once

#include <span>
#include <string>
#include <string_view>

#include "hosts/win32/FaultPlan.h"

namespace brelmont::win32 {

// Puts the pieces, one after another, in place of the file at `path` through a temporary file in
// the same directory, flushed to disk before ReplaceFile (or, for a new file, MoveFileEx) swaps it
// in, so the file holds its old bytes or all the new ones whatever fails. A replaced file keeps its
// security, creation time and streams; a symbolic link at the path is followed.
void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           FaultPlan& faults);

}  // namespace brelmont::win32
