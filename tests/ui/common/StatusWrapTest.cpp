#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/common/StatusWrap.h"

namespace brelmont::ui {
namespace {

// A label `width` code units wide, each unit one unit wide; the lines it shows, in either
// toolkit's character type.
template <class Char>
std::vector<std::u16string> Wrapped(std::u16string_view text, std::size_t width,
                                    std::size_t mostLines = 64) {
    const std::basic_string<Char> units(text.begin(), text.end());
    const FitsWidth<Char> fits = [width](std::basic_string_view<Char> piece) {
        return piece.size() <= width;
    };
    std::vector<std::u16string> lines;
    for (const Pieces<Char>& line : WrapStatusLines<Char>(units, fits, mostLines)) {
        for (const auto piece : line) {
            lines.emplace_back(piece.begin(), piece.end());
        }
    }
    return lines;
}

TEST(StatusWrap, BreaksAtSpacesAndInsideWordsWiderThanTheLabel) {
    const struct {
        const char* name;
        std::u16string text;
        std::size_t width;
        std::vector<std::u16string> lines;
    } cases[] = {
        {"empty", u"", 10, {u""}},
        {"exactly the width", u"short line", 10, {u"short line"}},
        {"at the last space that fits", u"one two three four", 10, {u"one two", u"three four"}},
        {"a path", u"C:\\abcdefghijklmnop", 10, {u"C:\\abcdefg", u"hijklmnop"}},
        {"a path after words starts a line",
         u"File: C:\\abcdefghijklmnop",
         10,
         {u"File:", u"C:\\abcdefg", u"hijklmnop"}},
        {"a word of twice the width", u"abcdefghijABCDEFGHIJ", 10, {u"abcdefghij", u"ABCDEFGHIJ"}},
        {"spaces at a break and at the end", u"one two    three   ", 10, {u"one two", u"three"}},
        {"no line of spaces alone", u"abcdefghij   ", 10, {u"abcdefghij"}},
        {"indentation stays", u"  indented line", 10, {u"  indented", u"line"}},
        {"every line end", u"a\r\n\r\nb\rc\nd", 10, {u"a", u"", u"b", u"c", u"d"}},
        {"a surrogate pair stays whole",
         u"xxxxxxxxx\U0001F600yz",
         10,
         {u"xxxxxxxxx", u"\U0001F600yz"}},
        {"a combining mark stays with its letter",
         u"xxxxxxxxxe\u0301",
         10,
         {u"xxxxxxxxx", u"e\u0301"}},
        {"narrower than a character", u"ab", 0, {u"a", u"b"}},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(Wrapped<char16_t>(item.text, item.width), item.lines) << item.name;
        EXPECT_EQ(Wrapped<wchar_t>(item.text, item.width), item.lines) << item.name;
    }
}

TEST(StatusWrap, BreaksTheNewestLinesUntilThereAreEnoughPieces) {
    const FitsWidth<char16_t> fits = [](std::u16string_view piece) { return piece.size() <= 10; };
    EXPECT_EQ(WrapStatusLines<char16_t>(u"old\r\none two three\r\nfour", fits, 2),
              (std::vector<Pieces<char16_t>>{{u"one two", u"three"}, {u"four"}}));
    EXPECT_EQ(WrapStatusLines<char16_t>(u"abcdefghijABCDEFGHIJxyz", fits, 2),
              (std::vector<Pieces<char16_t>>{{u"ABCDEFGHIJ", u"xyz"}}));
    EXPECT_EQ(WrapStatusLines<char16_t>(u"a", fits, 0), std::vector<Pieces<char16_t>>{});
}

TEST(StatusWrap, MeasuresALongPathInPiecesOfAboutALine) {
    const std::u16string path(100'000, u'x');
    std::size_t measured = 0;
    const FitsWidth<char16_t> fits = [&](std::u16string_view piece) {
        measured += piece.size();
        return piece.size() <= 80;
    };
    const auto lines = WrapStatusLines<char16_t>(path, fits, 3);
    // Its last three lines of 80.
    EXPECT_EQ(lines, std::vector<Pieces<char16_t>>(
                         1, Pieces<char16_t>(3, std::u16string_view(path).substr(0, 80))));
    // Measuring what is left of the path for each of its 1250 lines would be about 600 times
    // its length.
    EXPECT_LT(measured, 100 * path.size());
}

TEST(StatusWrap, WholeNewestLinesFitTheHeightOrTheNewestLinesLastPieces) {
    const std::vector<Pieces<char16_t>> lines{{u"a"}, {u"b1", u"b2"}, {u"c"}};
    const std::vector<Pieces<char16_t>> oneLong{{u"p1", u"p2", u"p3", u"p4"}};
    const struct {
        const std::vector<Pieces<char16_t>>& wrapped;
        std::size_t room;
        Pieces<char16_t> shown;
    } cases[] = {
        {lines, 9, {u"a", u"b1", u"b2", u"c"}},
        {lines, 3, {u"b1", u"b2", u"c"}},
        // A broken line leaves whole: its last piece alone at the top would say little.
        {lines, 2, {u"c"}},
        {lines, 0, {u"c"}},
        {oneLong, 2, {u"p3", u"p4"}},
        {oneLong, 0, {u"p4"}},
        {{}, 3, {}},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(LinesThatFit<char16_t>(
                      item.wrapped,
                      [&](const Pieces<char16_t>& shown) { return shown.size() <= item.room; }),
                  item.shown)
            << "room for " << item.room;
    }
}

TEST(StatusWrap, JoinsWithTheLabelsLineEnd) {
    EXPECT_EQ(JoinedLines<wchar_t>({L"a", L"", L"b"}, L"\r\n"), L"a\r\n\r\nb");
    EXPECT_EQ(JoinedLines<char16_t>({}, u"\n"), u"");
}

}  // namespace
}  // namespace brelmont::ui
