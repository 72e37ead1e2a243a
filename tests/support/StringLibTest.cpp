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

}  // namespace
}  // namespace brelmont
