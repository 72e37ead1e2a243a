#pragma once

// What the fuzz targets share: the invariant check, the line rules written out independently of
// GetLine, and message boxes that no run should need.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MessageBoxes.h"

// A broken invariant is a finding, just like a crash: libFuzzer keeps the input.
#define FUZZ_REQUIRE(condition)                                                          \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                      \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

namespace brelmont::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The lines of a text: the pieces between CRs, each without its LFs; a CR at the very end ends
// the last line and starts no further one.
inline std::vector<std::string> ReferenceLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) {
        return lines;
    }
    std::string line;
    for (const char c : text) {
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\n') {
            line.push_back(c);
        }
    }
    if (text.back() != '\r') {
        lines.push_back(line);
    }
    return lines;
}

// For each line of ReferenceLines: whether an LF stood between two of its characters.
inline std::vector<bool> ReferenceJoins(std::string_view text) {
    std::vector<bool> joins;
    if (text.empty()) {
        return joins;
    }
    bool content = false;
    bool lfAfterContent = false;
    bool joined = false;
    for (const char c : text) {
        if (c == '\r') {
            joins.push_back(joined);
            content = lfAfterContent = joined = false;
        } else if (c == '\n') {
            lfAfterContent = content;
        } else {
            joined = joined || lfAfterContent;
            content = true;
        }
    }
    if (text.back() != '\r') {
        joins.push_back(joined);
    }
    return joins;
}

inline std::string ReferenceTrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

inline bool Has(std::string_view text, std::string_view what) {
    return text.find(what) != std::string_view::npos;
}

// Message boxes that only GetLine's out-of-memory report or a registration error would show.
class CountingBoxes final : public platform::MessageBoxes {
  public:
    void MessageBoxOk(const std::string& text, const std::string&) override {
        shown.push_back(text);
    }
    bool MessageBoxYesNo(const std::string&, const std::string&) override { return true; }
    std::vector<std::string> shown;
};

}  // namespace brelmont::fuzz
