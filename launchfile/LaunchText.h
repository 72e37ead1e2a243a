#pragma once

// Pieces that registration and removal share.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/PiecedText.h"
#include "support/StringLib.h"

namespace brelmont {

class FileLib;
namespace platform {
class DirectoryLock;
class FileSystem;
}  // namespace platform

inline constexpr std::string_view kEndOfAddon = "/ [EOA]";

// What an edit of Launch.local holds from its read to its replace: the lock on the file's folder,
// so that two runs editing the same file take turns. `refused` is the result the edit ends with,
// Launch.local untouched, when the lock cannot be had (the lock's error number) or the file is too
// large to read (out of memory); a status line then says why.
struct LaunchEditContext;

struct LaunchEditGuard {
    std::unique_ptr<platform::DirectoryLock> lock;
    std::optional<std::int16_t> refused;
};
LaunchEditGuard GuardLaunchEdit(const LaunchEditContext& run, const std::string& launchPath);

// The loader file's text without a leading byte-order mark, which is no part of its first line;
// the LFs of a loader that holds no CR at all become CR LF.
std::string ReadLoaderText(FileLib& fileLib, const std::string& loaderFile);

// The result of writing Launch.local, -1 or the failure's error number, passed on; a failure also
// gets a reason line with the failure's own description, which the number alone does not tell
// (a link refused, the file changed since it was read).
std::int16_t ReportedWrite(const LaunchEditContext& run, std::int16_t written);

// Throws the out-of-memory error when a walk lost a line, so that nothing half-read is written.
void RequireWholeWalk(const LineText& walk);

// Tells along a walk whether a line may hold a name, from one search of the raw text ahead rather
// than a search of every line, which was the most frequent work of a walk over a large file. A
// line that lost an LF from its middle is always a candidate, since the name may span that LF.
class NameSieve {
  public:
    NameSieve(std::string_view text, std::string_view name) : text_(text), name_(name) {}
    // `start` and `next`: where the walk stood before and after it took `line`.
    bool MayHold(std::size_t start, std::size_t next, std::string_view line);
    // Where the name next stands at or after `from` as the walk reads lines, LFs between its
    // characters dropped; the text's size when nowhere. No line before the one holding that place
    // holds the name.
    std::size_t NextFrom(std::size_t from);

  private:
    std::string_view text_;
    std::string_view name_;
    std::size_t found_ = 0;  // the name's next occurrence, or the text's size when there is none
    bool searched_ = false;
};

// Whether a line of the loader text behind its first line, cut as GetLine cuts it, holds the end
// marker.
bool HoldsEndLine(std::string_view loaderRest);

// Why an install was refused: its block would have no end line in Launch.local. Such a block runs
// to the end of the file, so the next add-on installed lands inside it and goes with its removal.
inline constexpr std::string_view kNoEndLineRefusal =
    "Launch.local left unchanged: the loader file has no end line (/ [EOA]) after its first line";

// Why a rewrite of Launch.local was refused: a lone LF stands inside one of its lines. The walk
// drops every LF, while the host and the editors that wrote the file may read a lone LF as a line
// end; writing such a line back would join two of their lines, and taking a block's first or last
// line from it, or any line of a block that has no end line, would take another add-on's lines
// with it.
inline constexpr std::string_view kLoneLfRefusal =
    "Launch.local left unchanged: some of its lines end in LF alone (save it with CR LF line ends)";

// Rewrites a text line by line as pieces of the text itself and of its own. Kept lines that
// already stand in it as they are to be written (CR LF ends, no other LF) stay in the text,
// closed up over the dropped lines behind the walk; everything else (lines written otherwise, new
// blocks) is a piece of its own, so nothing is ever written ahead of the walk: a new block longer
// than the old one once overtook text not yet read that way.
class LineRewrite {
  public:
    // Takes the text over; a leading byte-order mark stays first and is not walked.
    explicit LineRewrite(std::string text);
    LineRewrite(const LineRewrite&) = delete;
    LineRewrite& operator=(const LineRewrite&) = delete;

    bool Done() const { return walk_.Empty(); }
    // The walk's next line, as GetLineView gives it.
    std::string_view NextLine(platform::MessageBoxes& boxes);
    // Appends the line NextLine gave last, followed by CR LF.
    void KeepLine();
    // The line NextLine gave last starts a block that the rewrite takes out, lies inside it, or
    // ends it. Should the walk end inside the block, the block ran to the end of the file
    // without an end line, and every line of it counts as a bound.
    void StartBlock() { Bound(); }
    void BlockLine() { blockJoined_ = blockJoined_ || lineJoined_; }
    void EndBlock();
    void Append(std::string_view piece) { out_.AppendOwn(piece); }
    const LineText& Walk() const { return walk_; }
    // The text being walked, and where the walk stood before and after the last line.
    std::string_view Text() const { return out_.Source(); }
    std::size_t LineStart() const { return lineFrom_; }
    std::size_t LineNext() const { return lineNext_; }
    // Where the walk stands in the text.
    std::size_t Position() const { return Walked(); }
    // Takes the lines that end before `limit` as NextLine and KeepLine would one by one, for
    // lines the caller would keep whenever they are not empty, at a fraction of the cost: only
    // plain lines (CR LF ends, no other CR or LF), stopping before the first other line.
    void KeepPlainLinesBefore(std::size_t limit);
    // The rewrite, ended by exactly one CR LF. Throws the invalid-file-format error, with
    // kLoneLfRefusal as its description, when a kept line or a block's bound lost a lone LF from
    // between two of its characters; lines wholly inside a dropped block that ends may have.
    PiecedText Finish() &&;

  private:
    std::size_t Walked() const { return Text().size() - walk_.RestSize(); }
    void Bound() { joinedLineUsed_ = joinedLineUsed_ || lineJoined_; }

    // Owns the text being walked, whose kept lines it closes up behind the walk: nothing before
    // the walk's position is read again.
    PiecedText out_;
    LineText walk_;
    std::size_t walkStart_;     // behind a byte-order mark
    std::string_view line_;     // the last line NextLine gave
    std::size_t lineFrom_ = 0;  // where the walk stood before it
    std::size_t lineNext_ = 0;  // and after it
    bool lineJoined_ = false;   // the last line lost an LF from between two of its characters
    bool joinedLineUsed_ = false;
    bool blockJoined_ = false;  // a line inside the block being taken out lost such an LF
};

}  // namespace brelmont
