#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace brelmont::ui {

// Status lines hold paths more often than prose, and a path has no space to wrap at: a label that
// wraps at spaces alone lets it run off its right edge. So the front ends break the lines
// themselves, by this one rule, and hand the label lines that each fit its width:
//
// - a line breaks at the last space after which it still fits, as word wrap does;
// - a word wider than the whole label is broken after its last character that fits (never inside
//   a surrogate pair, never before a combining mark);
// - the spaces at a break are dropped, and so are those at the end of a line: they would only push
//   the label to wrap again, and a line of nothing but the spaces left over is never made.
//
// A line of the text ends at CR LF, a lone CR or a lone LF. The texts are UTF-16, as both
// toolkits measure them (char16_t for Qt, wchar_t for Windows).

// Whether `piece`, drawn on one line of the label, fits its width. Only the toolkit can tell; a
// longer piece never fits where a shorter start of it does not.
template <class Char>
using FitsWidth = std::function<bool(std::basic_string_view<Char> piece)>;

// The lines the label is to show for `text`, each a part of `text`: the last `mostLines` of them,
// a wrapped line counting as as many lines as it is broken into.
template <class Char>
std::vector<std::basic_string_view<Char>> WrapStatusLines(std::basic_string_view<Char> text,
                                                          const FitsWidth<Char>& fits,
                                                          std::size_t mostLines);

// The most of the last `count` lines that fit the label's height, given whether the last n of
// them do (fewer always fit where more do); one at least, so that the newest line shows in part
// rather than not at all.
std::size_t MostLinesThatFit(std::size_t count, const std::function<bool(std::size_t n)>& fit);

}  // namespace brelmont::ui
