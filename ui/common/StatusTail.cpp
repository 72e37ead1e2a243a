#include "ui/common/StatusTail.h"

namespace brelmont::ui {
namespace {

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The length of the line end that stops at `end` (exclusive), 0 when there is none.
std::size_t LineEndBefore(std::string_view text, std::size_t end) {
    if (end >= 2 && text.compare(end - 2, 2, "\r\n") == 0) {
        return 2;
    }
    return end >= 1 && IsLineBreak(text[end - 1]) ? 1 : 0;
}

}  // namespace

std::string_view StatusTail(std::string_view text, std::size_t mostLines) {
    text.remove_suffix(LineEndBefore(text, text.size()));
    if (mostLines == 0) {
        return text.substr(text.size());
    }
    // Walk back over line ends until `mostLines` lines lie behind the position.
    std::size_t start = text.size();
    for (std::size_t lines = 1; start > 0;) {
        if (!IsLineBreak(text[start - 1])) {
            --start;
            continue;
        }
        if (lines == mostLines) {
            break;
        }
        ++lines;
        start -= LineEndBefore(text, start);
    }
    return text.substr(start);
}

}  // namespace brelmont::ui
