#include "support/StringLib.h"

#include <cstring>
#include <exception>

#include "platform/MessageBoxes.h"
#include "support/RuntimeError.h"

namespace brelmont {

namespace {

// Copies the characters of [from, end) but the LFs to `out`, which has room for all of them; the
// length copied. Whole runs between LFs at a time, since a byte-by-byte copy was the bulk of a walk
// over a large file; a line of a CR LF text starts with the LF of the pair before it and holds no
// other.
std::size_t CopyWithoutLf(const char* from, const char* end, char* out) {
    char* const start = out;
    while (from < end) {
        if (*from == kLf) {
            ++from;
            continue;
        }
        const auto* lf = static_cast<const char*>(std::memchr(from, kLf, end - from));
        const char* const runEnd = lf != nullptr ? lf : end;
        std::memcpy(out, from, static_cast<std::size_t>(runEnd - from));
        out += runEnd - from;
        from = runEnd;
    }
    return static_cast<std::size_t>(out - start);
}

}  // namespace

std::string_view LineText::NextBody(std::size_t& next) const {
    const std::string_view rest = Rest();
    const std::size_t cr = rest.find(kCr);
    next = (cr == std::string_view::npos) ? text_.size() : pos_ + cr + 1;
    return rest.substr(0, cr);
}

void LineText::LoseLine(platform::MessageBoxes& boxes) {
    lostLine_ = true;
    const RuntimeError error = AsRuntimeError(std::current_exception(), "StringLib:GetLine");
    boxes.MessageBoxOk("String Error " + std::to_string(error.Number()) + ", " +
                           error.Description() + std::string(kCrLf),
                       "GetLine Error");
}

std::string GetLine(LineText& text, platform::MessageBoxes& boxes) {
    try {
        std::size_t next = 0;
        const std::string_view body = text.NextBody(next);
        std::string line(body.size(), '\0');
        line.resize(CopyWithoutLf(body.data(), body.data() + body.size(), line.data()));
        text.pos_ = next;
        return line;
    } catch (...) {
        text.LoseLine(boxes);
        return {};
    }
}

std::string_view GetLineView(LineText& text, platform::MessageBoxes& boxes) {
    try {
        const char* const begin = text.text_.data() + text.pos_;
        const std::size_t rest = text.text_.size() - text.pos_;
        const auto* cr = static_cast<const char*>(std::memchr(begin, kCr, rest));
        const std::size_t size = cr != nullptr ? static_cast<std::size_t>(cr - begin) : rest;
        if (size > text.lineRoom_) {
            text.line_.reset();
            text.line_ = std::make_unique_for_overwrite<char[]>(size);
            text.lineRoom_ = size;
        }
        const std::size_t length = CopyWithoutLf(begin, begin + size, text.line_.get());
        text.pos_ = cr != nullptr ? text.pos_ + size + 1 : text.text_.size();
        return {text.line_.get(), length};
    } catch (...) {
        text.LoseLine(boxes);
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
    return std::string(TrimSpacesView(text));
}

std::string_view TrimSpacesView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

namespace {

constexpr std::string_view kCutMark = "...";

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

void AppendEscape(std::string& out, char c) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// The escaped text's size, counted no further than `limit` + 1.
std::size_t EscapedSize(std::string_view text, std::size_t limit) {
    std::size_t size = 0;
    for (std::size_t at = 0; at < text.size() && size <= limit; ++at) {
        size += IsControl(text[at]) ? 4 : 1;
    }
    return size;
}

// Escapes `text` into `out` until the next character would make it longer than `limit`; how many
// characters of `text` went in.
std::size_t EscapeInto(std::string& out, std::string_view text, std::size_t limit) {
    std::size_t at = 0;
    for (; at < text.size(); ++at) {
        const bool control = IsControl(text[at]);
        if (out.size() + (control ? 4 : 1) > limit) {
            break;
        }
        if (control) {
            AppendEscape(out, text[at]);
        } else {
            out += text[at];
        }
    }
    return at;
}

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// How many bytes the UTF-8 sequence that `lead` starts has; 1 for any other byte.
std::size_t SequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

// Drops a UTF-8 sequence that the cut left unfinished at the end of `text`. Bytes of an ANSI code
// page that merely look like one lose at most three characters.
void DropCutSequence(std::string& text, std::string_view cutFrom) {
    if (cutFrom.empty() || !IsContinuation(cutFrom.front())) {
        return;
    }
    std::size_t lead = text.size();
    while (lead > 0 && text.size() - lead < 3 && IsContinuation(text[lead - 1])) {
        --lead;
    }
    if (lead > 0 && SequenceLength(text[lead - 1]) > 1) {
        text.resize(lead - 1);
    }
}

}  // namespace

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(EscapedSize(text, text.size() * 4));
    EscapeInto(out, text, std::string::npos);
    return out;
}

std::string EscapeControlsButCrLf(std::string_view text) {
    std::string out;
    out.reserve(EscapedSize(text, text.size() * 4));
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t pair = text.find(kCrLf, at);
        const std::string_view piece =
            text.substr(at, pair == std::string_view::npos ? std::string_view::npos : pair - at);
        EscapeInto(out, piece, std::string::npos);
        if (pair == std::string_view::npos) {
            break;
        }
        out += kCrLf;
        at = pair + kCrLf.size();
    }
    return out;
}

std::string LogEntryText(std::string_view text, std::size_t longest) {
    std::string out;
    if (EscapedSize(text, longest) <= longest) {
        EscapeInto(out, text, longest);
        return out;
    }
    const std::size_t room = longest > kCutMark.size() ? longest - kCutMark.size() : 0;
    const std::size_t kept = EscapeInto(out, text, room);
    DropCutSequence(out, text.substr(kept));
    out += kCutMark.substr(0, longest - out.size());
    return out;
}

namespace {

// string_view::find of a text, as libstdc++ 12 has it, compares at every byte; seeking the first
// character with memchr instead makes the per-line name test of a large file's walk cheap.
std::size_t Find(std::string_view text, std::string_view what) {
    if (what.empty()) {
        return 0;
    }
    for (std::size_t at = text.find(what.front());
         at != std::string_view::npos && what.size() <= text.size() - at;
         at = text.find(what.front(), at + 1)) {
        if (text.compare(at, what.size(), what) == 0) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::size_t FindPosition(std::string_view text, std::string_view what) {
    const std::size_t at = Find(text, what);
    return at == std::string_view::npos ? 0 : at + 1;
}

bool Contains(std::string_view text, std::string_view what) {
    return Find(text, what) != std::string_view::npos;
}

}  // namespace brelmont
