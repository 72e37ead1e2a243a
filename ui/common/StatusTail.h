#pragma once

#include <cstddef>
#include <string_view>

namespace brelmont::ui {

// The status label does not scroll: once the lines outgrow it, the newest ones (the outcome among
// them) are the ones worth seeing, so lines leave at the top. A line ends at CR LF, a lone CR or a
// lone LF, as a label lays them out.

// Far more lines than a status label can show; only this many of the last ones are laid out, so a
// long loader text does not cost a layout per dropped line.
inline constexpr std::size_t kMostVisibleStatusLines = 64;

// The part of the status text worth laying out: at most the last `mostLines` lines, without the
// line end after the last one (the label would lay out an empty line there).
std::string_view StatusTail(std::string_view text, std::size_t mostLines = kMostVisibleStatusLines);

}  // namespace brelmont::ui
