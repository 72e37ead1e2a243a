#include "support/Utf16.h"

#include <cstddef>

namespace brelmont {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the sequence at `at` and its code point, or 0 when the bytes there begin none.
// `surrogates` admits the three-byte forms of U+D800..U+DFFF.
std::size_t Decode(std::string_view text, std::size_t at, bool surrogates, char32_t& point) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    std::size_t length = 0;
    // The range the second byte must fall in: narrower after some leads, so that every code point
    // has one form only and none lies beyond U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED && !surrogates ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i))) {
            return 0;
        }
        point = (point << 6) | (byte(i) & 0x3F);
    }
    return length;
}

void AppendUnits(char32_t point, std::u16string& into) {
    if (point < 0x10000) {
        into += static_cast<char16_t>(point);
        return;
    }
    point -= 0x10000;
    into += static_cast<char16_t>(0xD800 + (point >> 10));
    into += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
}

void AppendBytes(char32_t point, std::string& into) {
    if (point < 0x80) {
        into += static_cast<char>(point);
    } else if (point < 0x800) {
        into += static_cast<char>(0xC0 | (point >> 6));
        into += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        into += static_cast<char>(0xE0 | (point >> 12));
        into += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        into += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        into += static_cast<char>(0xF0 | (point >> 18));
        into += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        into += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        into += static_cast<char>(0x80 | (point & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view text, const UndecodedBytes& undecodable) {
    std::u16string units;
    units.reserve(text.size());
    std::size_t undecoded = 0;  // where the current run of undecodable bytes began
    std::size_t at = 0;
    const auto flush = [&] {
        if (undecoded == at) {
            return;
        }
        const std::string_view run = text.substr(undecoded, at - undecoded);
        if (undecodable) {
            undecodable(run, units);
        } else {
            units.append(run.size(), kReplacement);
        }
    };
    while (at < text.size()) {
        char32_t point = 0;
        const std::size_t length = Decode(text, at, true, point);
        if (length == 0) {
            ++at;
            continue;
        }
        flush();
        AppendUnits(point, units);
        at += length;
        undecoded = at;
    }
    flush();
    return units;
}

std::string Utf8FromUtf16(std::u16string_view units) {
    std::string text;
    text.reserve(units.size());
    for (std::size_t at = 0; at < units.size(); ++at) {
        const char16_t unit = units[at];
        if (IsHighSurrogate(unit) && at + 1 < units.size() && IsLowSurrogate(units[at + 1])) {
            AppendBytes(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                            (static_cast<char32_t>(units[at + 1]) - 0xDC00),
                        text);
            ++at;
        } else {
            AppendBytes(unit, text);
        }
    }
    return text;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t point = 0;
        const std::size_t length = Decode(text, at, false, point);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace brelmont
