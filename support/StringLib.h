#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace brelmont {

namespace platform {
class MessageBoxes;
}

inline constexpr char kCr = '\r';
inline constexpr char kLf = '\n';
inline constexpr std::string_view kCrLf = "\r\n";

// The remaining text that GetLine cuts lines off. Cutting advances a position instead of copying
// what is left, so walking a text of n characters to its end costs O(n) in all.
class LineText {
  public:
    LineText() = default;
    // Owns the text.
    explicit LineText(std::string text) : owned_(std::move(text)), text_(owned_) {}
    // Walks a text the caller keeps alive for as long as the walk lasts.
    explicit LineText(std::string_view text) : text_(text) {}
    LineText(const LineText&) = delete;
    LineText& operator=(const LineText&) = delete;

    bool Empty() const { return pos_ >= text_.size(); }
    std::string_view Rest() const { return text_.substr(pos_); }
    std::size_t RestSize() const { return text_.size() - pos_; }
    // True once a GetLine on this text has failed and handed back an empty line in place of the
    // real one; a caller that writes the lines back must not trust the walk then.
    bool LostLine() const { return lostLine_; }
    // Moves the walk on by characters that the caller took off as whole lines itself.
    void SkipAhead(std::size_t characters) { pos_ += std::min(characters, RestSize()); }

  private:
    friend std::string GetLine(LineText& text, platform::MessageBoxes& boxes);
    friend std::string_view GetLineView(LineText& text, platform::MessageBoxes& boxes);
    // The characters before the next CR; `next` is where the text goes on after that CR.
    std::string_view NextBody(std::size_t& next) const;
    // Marks the line lost and shows the failure being handled.
    void LoseLine(platform::MessageBoxes& boxes);
    std::string owned_;
    std::string_view text_;
    std::size_t pos_ = 0;
    bool lostLine_ = false;
    std::unique_ptr<char[]> line_;  // GetLineView's buffer
    std::size_t lineRoom_ = 0;
};

// The next line: every character before the first CR with its LFs dropped. The text loses that
// line and its CR (an LF after the CR stays at the front of what is left). A failure, which can
// only be exhausted memory, is shown in an OK box titled "GetLine Error" and gives an empty line.
std::string GetLine(LineText& text, platform::MessageBoxes& boxes);

// GetLine into a buffer that the walk keeps and reuses: the view holds until the next call on the
// same text. A walk over a large file takes its lines this way, allocating only when a line is
// longer than any before it instead of once a line; failures are handled as GetLine handles them.
std::string_view GetLineView(LineText& text, platform::MessageBoxes& boxes);

// The text without the run of CR and LF characters at its end.
std::string TrimTrailCrLf(std::string_view text);

// Leading and trailing space characters removed (spaces only: tabs stay).
std::string TrimSpaces(std::string_view text);
// The same without a copy: the part of `text` between its leading and trailing spaces.
std::string_view TrimSpacesView(std::string_view text);

// Texts from files, links and the environment (paths, a link's target, DATADIR, the loader's
// lines) reach the session log, the system log, standard error, status lines and boxes. Shown as
// they are, a line feed in one forges a line of its own and an escape sequence drives the reader's
// terminal, so every control character (below 0x20, and 0x7F) is shown as \xHH instead. Bytes
// from 0x80 on stay, so names in UTF-8 or an ANSI code page stay readable; so does the backslash,
// which every Windows path is full of: "\x1B" in a shown text is an ESC or those four characters,
// and nothing a reader could take for a line or a terminal command either way.
std::string EscapeControls(std::string_view text);

// EscapeControls but for CR LF pairs: a status text of several lines, whose line breaks the
// program writes as CR LF, keeps them.
std::string EscapeControlsButCrLf(std::string_view text);

// The longest text of one session-log or system-log entry.
inline constexpr std::size_t kLongestLogText = 4096;

// EscapeControls for one entry of a log: at most `longest` characters; a longer text is cut before
// an escape or a UTF-8 sequence that would not fit whole, and ends in "...". Only the part kept
// is looked at, so a text of any size costs no more than the entry.
std::string LogEntryText(std::string_view text, std::size_t longest = kLongestLogText);

// 1-based position of the first occurrence of `what` in `text`, 0 when absent (InStr).
std::size_t FindPosition(std::string_view text, std::string_view what);

bool Contains(std::string_view text, std::string_view what);

}  // namespace brelmont
