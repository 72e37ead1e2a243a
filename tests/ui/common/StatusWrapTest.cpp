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
    for (const auto line : WrapStatusLines<Char>(units, fits, mostLines)) {
        lines.emplace_back(line.begin(), line.end());
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

TEST(StatusWrap, KeepsTheLastLinesCountingEachBrokenPiece) {
    const std::u16string text = u"one two three\r\nfour";
    EXPECT_EQ(Wrapped<char16_t>(text, 7, 2), (std::vector<std::u16string>{u"three", u"four"}));
    EXPECT_EQ(Wrapped<char16_t>(text, 7, 0), std::vector<std::u16string>{});
}

TEST(StatusWrap, MeasuresALongPathInPiecesOfAboutALine) {
    const std::u16string path(100'000, u'x');
    std::size_t measured = 0;
    const FitsWidth<char16_t> fits = [&](std::u16string_view piece) {
        measured += piece.size();
        return piece.size() <= 80;
    };
    const auto lines = WrapStatusLines<char16_t>(path, fits, 3);
    EXPECT_EQ(lines.size(), 3u);
    // Measuring what is left of the path for each of its 1250 lines would be about 600 times
    // its length.
    EXPECT_LT(measured, 100 * path.size());
}

TEST(StatusWrap, MostLinesThatFitTheHeight) {
    const struct {
        std::size_t count;
        std::size_t room;
        std::size_t shown;
    } cases[] = {{0, 5, 0}, {3, 5, 3}, {5, 5, 5}, {9, 5, 5}, {64, 17, 17}, {9, 0, 1}};
    for (const auto& item : cases) {
        EXPECT_EQ(MostLinesThatFit(item.count, [&](std::size_t n) { return n <= item.room; }),
                  item.shown)
            << item.count << " lines, room for " << item.room;
    }
}

}  // namespace
}  // namespace brelmont::ui
