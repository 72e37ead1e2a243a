#include "ui/common/StatusWrap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace brelmont::ui {
namespace {

template <class Char>
using View = std::basic_string_view<Char>;

constexpr std::size_t kNone = std::string_view::npos;

// A piece longer than this is first tried by its starts, doubling: a path of thousands of
// characters then costs a few short measurements per line instead of one of the whole path.
constexpr std::size_t kShortPiece = 64;

// False for the units that only complete the character before them.
template <class Char>
bool StartsCharacter(Char unit) {
    const auto code = static_cast<std::uint32_t>(unit);
    const bool lowSurrogate = code >= 0xDC00 && code <= 0xDFFF;
    const bool combiningMark = code >= 0x0300 && code <= 0x036F;
    return !lowSurrogate && !combiningMark;
}

// One line of the text, broken into the lines the label shows.
template <class Char>
class LineBreaker {
  public:
    LineBreaker(View<Char> line, const FitsWidth<Char>& fits)
        : line_(line), fits_(fits), contentEnd_(line.find_last_not_of(Char(' ')) + 1) {}

    Pieces<Char> Lines() const {
        Pieces<Char> lines;
        std::size_t start = 0;
        do {
            const std::size_t end = BreakAfter(start);
            const View<Char> piece = line_.substr(start, end - start);
            lines.push_back(piece.substr(0, piece.find_last_not_of(Char(' ')) + 1));
            start = line_.find_first_not_of(Char(' '), end);
        } while (start != kNone);
        return lines;
    }

  private:
    // Where the label's line that starts at `start` ends.
    std::size_t BreakAfter(std::size_t start) const {
        if (Fits(start, contentEnd_)) {
            return contentEnd_;
        }
        std::size_t end = start;
        for (std::size_t wordEnd = WordEndFrom(start);
             wordEnd < contentEnd_ && Fits(start, wordEnd); wordEnd = WordEndFrom(wordEnd)) {
            end = wordEnd;
        }
        return end > start ? end : BreakInWord(start, WordEndFrom(start));
    }

    // The end of the first word at or after `at`, spaces before it included.
    std::size_t WordEndFrom(std::size_t at) const {
        return std::min(line_.find(Char(' '), line_.find_first_not_of(Char(' '), at)), contentEnd_);
    }

    // The end of the longest start of the word that fits, `wordEnd` being too far; one character
    // when not even that fits, so that every line takes something.
    std::size_t BreakInWord(std::size_t start, std::size_t wordEnd) const {
        // Doubling from one character, no piece tried is longer than twice one that fits: each
        // is measured whole.
        const auto fits = [&](std::size_t end) { return fits_(line_.substr(start, end - start)); };
        std::size_t fitting = start;
        std::size_t tooLong = wordEnd;
        for (std::size_t length = 1; start + length < tooLong; length *= 2) {
            if (!fits(start + length)) {
                tooLong = start + length;
                break;
            }
            fitting = start + length;
        }
        while (tooLong - fitting > 1) {
            const std::size_t middle = fitting + (tooLong - fitting) / 2;
            (fits(middle) ? fitting : tooLong) = middle;
        }
        while (fitting > start && !StartsCharacter(line_[fitting])) {
            --fitting;
        }
        if (fitting > start) {
            return fitting;
        }
        std::size_t oneCharacter = start + 1;
        while (oneCharacter < wordEnd && !StartsCharacter(line_[oneCharacter])) {
            ++oneCharacter;
        }
        return oneCharacter;
    }

    bool Fits(std::size_t start, std::size_t end) const {
        for (std::size_t length = kShortPiece; start + length < end; length *= 2) {
            if (!fits_(line_.substr(start, length))) {
                return false;
            }
        }
        return end <= start || fits_(line_.substr(start, end - start));
    }

    View<Char> line_;
    const FitsWidth<Char>& fits_;
    std::size_t contentEnd_;  // trailing spaces hang past the edge: they never break a line
};

// The most of `count` for which `fit` holds, 0 when it holds for none; it holds for fewer where it
// holds for more.
std::size_t MostThatFit(std::size_t count, const std::function<bool(std::size_t n)>& fit) {
    if (count == 0 || fit(count)) {
        return count;
    }
    std::size_t fitting = 0;
    std::size_t tooMany = count;
    while (tooMany - fitting > 1) {
        const std::size_t middle = fitting + (tooMany - fitting) / 2;
        (fit(middle) ? fitting : tooMany) = middle;
    }
    return fitting;
}

}  // namespace

template <class Char>
std::vector<Pieces<Char>> WrapStatusLines(View<Char> text, const FitsWidth<Char>& fits,
                                          std::size_t mostLines) {
    static constexpr Char kLineBreaks[] = {Char('\r'), Char('\n')};
    // From the newest line back, so that lines which would not show are never measured.
    std::vector<Pieces<Char>> newestFirst;
    std::size_t pieces = 0;
    std::size_t end = text.size();
    while (pieces < mostLines) {
        const std::size_t lineBreak =
            end == 0 ? kNone : text.find_last_of(View<Char>(kLineBreaks, 2), end - 1);
        const std::size_t start = lineBreak == kNone ? 0 : lineBreak + 1;
        Pieces<Char> line = LineBreaker<Char>(text.substr(start, end - start), fits).Lines();
        line.erase(line.begin(), line.end() - std::min(line.size(), mostLines));
        pieces += line.size();
        newestFirst.push_back(std::move(line));
        if (lineBreak == kNone) {
            break;
        }
        const bool crLf =
            lineBreak > 0 && text[lineBreak] == Char('\n') && text[lineBreak - 1] == Char('\r');
        end = crLf ? lineBreak - 1 : lineBreak;
    }
    return {newestFirst.rbegin(), newestFirst.rend()};
}

template <class Char>
Pieces<Char> LinesThatFit(const std::vector<Pieces<Char>>& wrapped,
                          const FitsHeight<Char>& fitsHeight) {
    const auto lastLines = [&](std::size_t count) {
        Pieces<Char> pieces;
        for (auto line = wrapped.end() - static_cast<std::ptrdiff_t>(count); line != wrapped.end();
             ++line) {
            pieces.insert(pieces.end(), line->begin(), line->end());
        }
        return pieces;
    };
    const std::size_t lines = MostThatFit(
        wrapped.size(), [&](std::size_t count) { return fitsHeight(lastLines(count)); });
    if (lines > 0 || wrapped.empty()) {
        return lastLines(lines);
    }
    const Pieces<Char>& newest = wrapped.back();
    const auto lastPieces = [&](std::size_t count) {
        return Pieces<Char>(newest.end() - static_cast<std::ptrdiff_t>(count), newest.end());
    };
    const std::size_t pieces = MostThatFit(
        newest.size(), [&](std::size_t count) { return fitsHeight(lastPieces(count)); });
    return lastPieces(std::max<std::size_t>(pieces, 1));
}

template <class Char>
std::basic_string<Char> JoinedLines(const Pieces<Char>& lines, View<Char> lineEnd) {
    std::basic_string<Char> joined;
    for (const View<Char>& line : lines) {
        if (&line != &lines.front()) {
            joined += lineEnd;
        }
        joined += line;
    }
    return joined;
}

template std::vector<Pieces<char16_t>> WrapStatusLines(View<char16_t>, const FitsWidth<char16_t>&,
                                                       std::size_t);
template std::vector<Pieces<wchar_t>> WrapStatusLines(View<wchar_t>, const FitsWidth<wchar_t>&,
                                                      std::size_t);
template Pieces<char16_t> LinesThatFit(const std::vector<Pieces<char16_t>>&,
                                       const FitsHeight<char16_t>&);
template Pieces<wchar_t> LinesThatFit(const std::vector<Pieces<wchar_t>>&,
                                      const FitsHeight<wchar_t>&);

template std::u16string JoinedLines(const Pieces<char16_t>&, View<char16_t>);
template std::wstring JoinedLines(const Pieces<wchar_t>&, View<wchar_t>);

}  // namespace brelmont::ui
