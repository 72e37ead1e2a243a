#include "support/StringLib.h"

#include <exception>

#include "platform/FrontEnd.h"
#include "support/RuntimeError.h"

namespace brelmont {

std::string GetLine(LineText& text, platform::MessageBoxes& boxes) {
    try {
        const std::string_view rest = text.Rest();
        const std::size_t cr = rest.find(kCr);
        const std::string_view body = rest.substr(0, cr);
        std::string line;
        line.reserve(body.size());
        for (const char c : body) {
            if (c != kLf) {
                line.push_back(c);
            }
        }
        text.pos_ = (cr == std::string_view::npos) ? text.text_.size() : text.pos_ + cr + 1;
        return line;
    } catch (...) {
        text.lostLine_ = true;
        const RuntimeError error = AsRuntimeError(std::current_exception(), "StringLib:GetLine");
        boxes.MessageBoxOk("String Error " + std::to_string(error.Number()) + ", " +
                               error.Description() + std::string(kCrLf),
                           "GetLine Error");
        return {};
    }
}

std::string TrimTrailCrLf(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == kCr || text[end - 1] == kLf)) {
        --end;
    }
    return std::string(text.substr(0, end));
}

std::string TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::size_t FindPosition(std::string_view text, std::string_view what) {
    const std::size_t at = text.find(what);
    return at == std::string_view::npos ? 0 : at + 1;
}

bool Contains(std::string_view text, std::string_view what) {
    return text.find(what) != std::string_view::npos;
}

}  // namespace brelmont
