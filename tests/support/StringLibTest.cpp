#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/StringLib.h"
#include "tests/testkit/AllocationFault.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

struct WalkCase {
    std::string text;
    std::vector<std::string> lines;
};

TEST(GetLine, WalksTextsToTheEndByTheLineRules) {
    const WalkCase cases[] = {
        {"", {}},
        {"abc", {"abc"}},
        {"abc\r\ndef", {"abc", "def"}},
        {"abc\r\n", {"abc", ""}},
        {"\r\n", {"", ""}},
        {"abc\r\n\r\ndef", {"abc", "", "def"}},
        {"one\ntwo\nthree", {"onetwothree"}},
        {"a\rb", {"a", "b"}},
        {"a\n\rb", {"a", "b"}},
        {"a\r", {"a"}},
        {"\x80\xFF\t \r\n", {"\x80\xFF\t ", ""}},
    };
    testing::ScriptedFrontEnd ui;
    for (const WalkCase& c : cases) {
        LineText text{std::string(c.text)};
        std::vector<std::string> lines;
        while (!text.Empty()) {
            lines.push_back(GetLine(text, ui));
        }
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_FALSE(text.LostLine());
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(GetLine, LeavesTheLineFeedOfAPairAtTheFrontOfTheRest) {
    testing::ScriptedFrontEnd ui;
    LineText text{std::string("abc\r\ndef")};
    EXPECT_EQ(GetLine(text, ui), "abc");
    EXPECT_EQ(text.Rest(), "\ndef");

    LineText empty{std::string()};
    EXPECT_EQ(GetLine(empty, ui), "");
    EXPECT_TRUE(empty.Empty());
}

TEST(GetLine, ShowsAnOutOfMemoryBoxAndMarksTheLineLost) {
    testing::ScriptedFrontEnd ui;
    const std::string longLine(200, 'x');
    LineText text{longLine + "\r\nnext"};
    testing::FailAllocation(longLine.size(), longLine.size() + 16);
    EXPECT_EQ(GetLine(text, ui), "");
    EXPECT_TRUE(text.LostLine());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, "ok");
    EXPECT_EQ(ui.boxes[0].title, "GetLine Error");
    EXPECT_EQ(ui.boxes[0].text, "String Error 7, Out of memory\r\n");
}

TEST(TrimTrailCrLf, RemovesOnlyTheTrailingRunOfLineEnds) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"\r\n\r\n", ""},
        {"abc\n\r\n", "abc"},
        {"abc \r\n", "abc "},
        {"abc\r\ndef", "abc\r\ndef"},
        {"\r\nabc", "\r\nabc"},
        {"abc\r\r\n\n", "abc"},
    };
    for (const auto& [text, trimmed] : cases) {
        EXPECT_EQ(TrimTrailCrLf(text), trimmed) << text;
    }
}

struct EscapeCase {
    const char* name;
    std::string text;
    std::string escaped;         // EscapeControls
    std::string escapedButCrLf;  // EscapeControlsButCrLf
};

TEST(EscapeControls, ShowsControlCharactersAsHexAndKeepsEverythingElse) {
    const EscapeCase cases[] = {
        {"Empty", "", "", ""},
        {"WindowsPathKeepsBackslashes", "C:\\Program Files\\Kelvane", "C:\\Program Files\\Kelvane",
         "C:\\Program Files\\Kelvane"},
        {"EraseAndRewriteLine", "C:\\x\x1B[2K\r\x1B[1Aok", "C:\\x\\x1B[2K\\x0D\\x1B[1Aok",
         "C:\\x\\x1B[2K\\x0D\\x1B[1Aok"},
        {"TitleAndClipboard", "\x1B]0;t\x07\x1B]52;c;ZWNobw==\x07",
         "\\x1B]0;t\\x07\\x1B]52;c;ZWNobw==\\x07", "\\x1B]0;t\\x07\\x1B]52;c;ZWNobw==\\x07"},
        {"ForgedLogLine", "a\r\n06-Dec 05:48:41: Added", "a\\x0D\\x0A06-Dec 05:48:41: Added",
         "a\r\n06-Dec 05:48:41: Added"},
        {"LoneLineEnds", "a\nb\rc\n\rd", "a\\x0Ab\\x0Dc\\x0A\\x0Dd", "a\\x0Ab\\x0Dc\\x0A\\x0Dd"},
        {"NulTabDelete", std::string("\0\t\x1F\x7F ~", 6), "\\x00\\x09\\x1F\\x7F ~",
         "\\x00\\x09\\x1F\\x7F ~"},
        {"HighBytesStay", "Gr\xC3\xBC\xC3\x9F \xE9\x80\xFF", "Gr\xC3\xBC\xC3\x9F \xE9\x80\xFF",
         "Gr\xC3\xBC\xC3\x9F \xE9\x80\xFF"},
        {"EscapeLikeTextStays", "\\x1B", "\\x1B", "\\x1B"},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(EscapeControls(c.text), c.escaped) << c.name;
        EXPECT_EQ(EscapeControlsButCrLf(c.text), c.escapedButCrLf) << c.name;
        // Shown once is shown for good: escaping again changes nothing.
        EXPECT_EQ(EscapeControls(c.escaped), c.escaped) << c.name;
    }
}

TEST(LogEntryText, EscapesAndCutsAtWholeCharactersWithDots) {
    const struct {
        const char* name;
        std::string text;
        std::size_t longest;
        std::string entry;
    } cases[] = {
        {"FitsExactly", "abcdefghij", 10, "abcdefghij"},
        {"OneTooMany", "abcdefghijk", 10, "abcdefg..."},
        {"EscapesFitExactly", "ab\x1B\x1B", 10, "ab\\x1B\\x1B"},
        {"EscapeNotHalved",
         "abcd\x1B"
         "fghijk",
         10, "abcd..."},
        {"EscapeBeforeCutKept",
         "abc\x1B"
         "efghijk",
         10, "abc\\x1B..."},
        {"Utf8SequenceNotHalved",
         "abcde\xE2\x82\xAC"
         "fghij",
         10, "abcde..."},
        {"Utf8SequenceBeforeCutKept",
         "abcd\xE2\x82\xAC"
         "fghij",
         10, "abcd\xE2\x82\xAC..."},
        // Latin-1 "\xE9\xA9" looks like the start of a UTF-8 sequence: cut before it too.
        {"AnsiBytesLikeUtf8", "abcd\xE9\xA9xyz", 8, "abcd..."},
        {"DefaultIs4KiB", std::string(5000, 'x'), kLongestLogText, std::string(4093, 'x') + "..."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogEntryText(c.text, c.longest), c.entry) << c.name;
        EXPECT_LE(LogEntryText(c.text, c.longest).size(), c.longest) << c.name;
    }
}

}  // namespace
}  // namespace brelmont
