#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

TEST(WideTextTest, NamesGoBothWaysUnchanged) {
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"C:\\Program Files\\Sample Addon", L"C:\\Program Files\\Sample Addon"},
        {"C:\\\xD0\x9E\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB5\xD1\x86 \xE8\xA6\x8B\xE6\x9C\xAC",
         L"C:\\\u041E\u0431\u0440\u0430\u0437\u0435\u0446 \u898B\u672C"},
        {"\xF0\x9F\x93\x81", L"\U0001F4C1"},
        // Windows takes a lone surrogate in a name; it must come back to the same file.
        {"a\xED\xB0\x80", std::wstring{L'a', static_cast<wchar_t>(0xDC00)}},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(Wide(item.utf8), item.wide) << item.utf8;
        EXPECT_EQ(Narrow(item.wide), item.utf8) << item.utf8;
    }
}

// Bytes from a file shown beside a UTF-8 path read as the ANSI functions read them.
TEST(WideTextTest, BytesThatAreNoUtf8ReadInTheAnsiCodePage) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "written for code page 1252, not " << ::GetACP();
    }
    EXPECT_EQ(Wide(">>>Finding: [Donn\xE9"
                   "es-1.0]"),
              L">>>Finding: [Donn\u00E9es-1.0]");
    EXPECT_EQ(Wide("C:\\\xD0\x96\\\x80\x99"), L"C:\\\u0416\\\u20AC\u2122");
    // Cut short at the end: still the code page's letters, not replacement characters.
    EXPECT_EQ(Wide("x\xE6\x9C"), L"x\u00E6\u0153");
    EXPECT_EQ(Utf8FromAnsi("Donn\xE9"
                           "es"),
              "Donn\xC3\xA9"
              "es");
    EXPECT_EQ(Utf8FromAnsi(""), "");
}

}  // namespace
}  // namespace brelmont::win32
