#include <gtest/gtest.h>

#include <string>

#include "support/Utf16.h"

namespace brelmont {
namespace {

struct Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

// Text that goes both ways unchanged, every form length and the lone surrogates included.
TEST(Utf16Test, RoundTrips) {
    const Case cases[] = {
        {"empty", "", u""},
        {"ascii path", "C:\\Program Files\\Sample Addon\\Sample.local",
         u"C:\\Program Files\\Sample Addon\\Sample.local"},
        {"two bytes",
         "Donn\xC3\xA9"
         "es",
         u"Donn\u00E9es"},
        {"cyrillic and cjk",
         "\xD0\x9E\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB5\xD1\x86 "
         "\xE8\xA6\x8B\xE6\x9C\xAC",
         u"\u041E\u0431\u0440\u0430\u0437\u0435\u0446 \u898B\u672C"},
        {"four bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"highest", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"lone high surrogate",
         "a\xED\xA0\x80"
         "b",
         std::u16string{u'a', 0xD800, u'b'}},
        {"lone low surrogate at the end", "\xED\xBF\xBF", std::u16string{0xDFFF}},
        {"reversed pair", "\xED\xB0\x80\xED\xA0\x80", std::u16string{0xDC00, 0xD800}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16) << c.name;
        EXPECT_EQ(Utf8FromUtf16(c.utf16), c.utf8) << c.name;
    }
}

// Bytes no sequence begins with: U+FFFD each by default, or whole runs to the caller's reading.
TEST(Utf16Test, UndecodableBytes) {
    const Case cases[] = {
        {"lone continuation", "a\x80z", u"a\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"no such lead", "\xF5\xFF", u"\uFFFD\uFFFD"},
        {"cut short at the end", "ab\xE6\x9C", u"ab\uFFFD\uFFFD"},
        {"cut short before ascii",
         "\xE6\x9C"
         "x",
         u"\uFFFD\uFFFDx"},
        {"latin-1 byte between letters",
         "Donn\xE9"
         "es",
         u"Donn\uFFFDes"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16) << c.name;
    }
    std::string runs;
    const std::u16string read =
        Utf16FromUtf8("\xE9\xE8-\xD0\x96-\x80", [&](std::string_view bytes, std::u16string& into) {
            runs += "[" + std::string(bytes) + "]";
            into += u'?';
        });
    EXPECT_EQ(read, u"?-\u0416-?");
    EXPECT_EQ(runs, "[\xE9\xE8][\x80]");
}

TEST(Utf16Test, WellFormedUtf8Only) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"C:\\Data", true},
        {"\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5", true},
        {"\xF0\x9F\x98\x80", true},
        {"Donn\xE9"
         "es",
         false},                              // Windows-1252
        {"\xC4\xE0\xED\xED\xFB\xE5", false},  // Windows-1251
        {"\xED\xA0\x80", false},              // a surrogate
        {"\xC0\x80", false},                  // overlong NUL
        {"\xE6\x9C", false},                  // cut short
    };
    for (const auto& [text, wellFormed] : cases) {
        EXPECT_EQ(IsUtf8(text), wellFormed) << text;
    }
}

}  // namespace
}  // namespace brelmont
