#include <gtest/gtest.h>

#include <string>

#include "ui/common/StatusTail.h"

namespace brelmont::ui {
namespace {

TEST(StatusTail, KeepsTheLastLinesWithoutTheFinalLineEnd) {
    const struct {
        const char* name;
        std::string text;
        std::size_t mostLines;
        std::string tail;
    } cases[] = {
        {"empty", "", 3, ""},
        {"one line", "a\r\n", 3, "a"},
        {"fewer lines than the most", "a\r\nb\r\n", 3, "a\r\nb"},
        {"exactly the most", "a\r\nb\r\nc\r\n", 3, "a\r\nb\r\nc"},
        {"oldest lines leave", "a\r\nb\r\nc\r\nd\r\n", 2, "c\r\nd"},
        {"one line kept", "a\r\nb\r\n", 1, "b"},
        {"none kept", "a\r\nb\r\n", 0, ""},
        {"no final line end", "a\r\nb", 1, "b"},
        // A lone CR or LF ends a line as the label lays it out.
        {"lone CR and LF", "a\rb\nc\r\n", 2, "b\nc"},
        {"empty lines count", "a\r\n\r\n\r\nb\r\n", 3, "\r\n\r\nb"},
        {"only the final line end goes", "a\r\n\r\n", 5, "a\r\n"},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(StatusTail(item.text, item.mostLines), item.tail) << item.name;
    }
}

}  // namespace
}  // namespace brelmont::ui
