#pragma once

#include <cstddef>
#include <functional>
#include <string>
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

// The label's lines, each a part of the text.
template <class Char>
using Pieces = std::vector<std::basic_string_view<Char>>;

// Whether these lines, one below the other, fit the label's height; fewer always fit where more do.
template <class Char>
using FitsHeight = std::function<bool(const Pieces<Char>& lines)>;

// The newest lines of `text`, oldest first, each broken into the pieces that fit the label's
// width: from the last line back until there are `mostLines` pieces or more. A line broken into
// more pieces than that keeps only its last `mostLines`.
template <class Char>
std::vector<Pieces<Char>> WrapStatusLines(std::basic_string_view<Char> text,
                                          const FitsWidth<Char>& fits, std::size_t mostLines);

// What the label shows of the broken lines: as many of the newest as fit its height, each whole,
// so that lines leave at the top as they did unbroken. When not even the newest fits, its last
// pieces that do, one at least: the end of a line is its news.
template <class Char>
Pieces<Char> LinesThatFit(const std::vector<Pieces<Char>>& wrapped,
                          const FitsHeight<Char>& fitsHeight);

// The lines one below the other, `lineEnd` between them, as a label takes its text.
template <class Char>
std::basic_string<Char> JoinedLines(const Pieces<Char>& lines,
                                    std::basic_string_view<Char> lineEnd);

}  // namespace brelmont::ui
