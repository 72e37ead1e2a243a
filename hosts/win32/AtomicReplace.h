#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "hosts/win32/FaultPlan.h"
#include "hosts/win32/FileIo.h"

namespace brelmont::win32 {

// Puts the pieces, one after another, in place of the file at `path` through a temporary file in
// the same directory, flushed to disk before ReplaceFile (or, for a new file, MoveFileEx) swaps it
// in, so the file holds its old bytes or all the new ones whatever fails. A replaced file keeps its
// security, creation time and streams, and the temporary file has the old file's access rules from
// its creation; links on the way are followed as FinalPathOf allows for `strict`. `found`: what the
// caller found at the name (the file it read, or no file), which the name must still lead to when
// the new file goes in place ("Path/File access error" otherwise, the old file untouched). A new
// file never goes over one that appeared since.
void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           const std::optional<FoundFile>& found, bool strict,
                           std::chrono::milliseconds inUseWait, FaultPlan& faults);

}  // namespace brelmont::win32
