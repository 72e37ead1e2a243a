#include "launchfile/LaunchText.h"

#include <algorithm>
#include <cstring>

#include "launchfile/LaunchEditor.h"
#include "launchfile/RegId.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "support/StringLib.h"

namespace brelmont {

LaunchEditGuard GuardLaunchEdit(const LaunchEditContext& run, const std::string& launchPath) {
    const std::size_t separator = launchPath.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string(".") : launchPath.substr(0, separator + 1);
    LaunchEditGuard guard;
    try {
        guard.lock = run.fileLib.Files().LockDirectory(directory);
    } catch (const RuntimeError& error) {
        // Editing without the lock could lose another run's edit; waiting on could hang the
        // installer that called, so the edit ends here.
        run.AppendReasonLine("Launch.local left unchanged: its folder could not be locked (" +
                             EscapeControls(error.Description()) + ")");
        guard.refused = static_cast<std::int16_t>(error.Number());
        return guard;
    }
    if (run.fileLib.LargerThanReadable(launchPath)) {
        run.AppendReasonLine("Launch.local left unchanged: it is larger than 1 GiB");
        guard.refused = static_cast<std::int16_t>(ErrorNumber::OutOfMemory);
    }
    return guard;
}

std::string ReadLoaderText(FileLib& fileLib, const std::string& loaderFile) {
    std::string text = fileLib.ReadTextFileContents(loaderFile);
    if (std::string_view(text).starts_with(kByteOrderMark)) {
        text.erase(0, kByteOrderMark.size());
    }
    // A loader without a single CR was saved with LF line ends (on Linux, or by git without
    // autocrlf). Read by the CR rules it is one line, and its block would reach Launch.local as
    // that one line, end marker included; its LFs are the line ends its vendor meant. A loader
    // holding any CR is read as it stands, so that no registered block changes its bytes.
    if (text.find(kCr) == std::string::npos) {
        std::string lines;
        lines.reserve(text.size() +
                      static_cast<std::size_t>(std::count(text.begin(), text.end(), kLf)));
        for (const char c : text) {
            if (c == kLf) {
                lines += kCr;
            }
            lines += c;
        }
        text = std::move(lines);
    }
    return text;
}

std::int16_t ReportedWrite(const LaunchEditContext& run, std::int16_t written) {
    if (written != -1) {
        // Not "left unchanged": a failure after the new file took the old one's place is one too.
        run.AppendReasonLine("Writing Launch.local failed (" +
                             EscapeControls(run.fileLib.LastErrorText()) + ")");
    }
    return written;
}

void RequireWholeWalk(const LineText& walk) {
    if (walk.LostLine()) {
        throw RuntimeError(ErrorNumber::OutOfMemory, "StringLib:GetLine");
    }
}

namespace {

// Where `name` first stands at or after `from` as the line walk reads the text: LFs between its
// characters are dropped like everywhere else in a line (a CR is not: it ends the line). The text's
// size when nowhere.
std::size_t FindAcrossLf(std::string_view text, std::size_t from, std::string_view name) {
    if (name.empty()) {
        return std::min(from, text.size());
    }
    for (std::size_t at = text.find(name.front(), from); at != std::string_view::npos;
         at = text.find(name.front(), at + 1)) {
        std::size_t matched = 1;
        for (std::size_t next = at + 1; matched < name.size() && next < text.size(); ++next) {
            if (text[next] == name[matched]) {
                ++matched;
            } else if (text[next] != kLf) {
                break;
            }
        }
        if (matched == name.size()) {
            return at;
        }
    }
    return text.size();
}

}  // namespace

bool HoldsEndLine(std::string_view loaderRest) {
    return FindAcrossLf(loaderRest, 0, kEndOfAddon) < loaderRest.size();
}

bool NameSieve::MayHold(std::size_t start, std::size_t next, std::string_view line) {
    // The line's characters stand in the text from after its leading LFs up to its CR.
    const std::size_t end = (next > start && text_[next - 1] == kCr) ? next - 1 : next;
    std::size_t from = start;
    while (from < end && text_[from] == kLf) {
        ++from;
    }
    if (end - from != line.size()) {
        return true;
    }
    return NextFrom(from) + name_.size() <= end;
}

std::size_t NameSieve::NextFrom(std::size_t from) {
    if (!searched_ || found_ < from) {
        found_ = FindAcrossLf(text_, from, name_);
        searched_ = true;
    }
    return found_;
}

namespace {

std::string_view WithoutByteOrderMark(std::string_view text) {
    SplitByteOrderMark(text);
    return text;
}

}  // namespace

LineRewrite::LineRewrite(std::string text)
    : out_(std::move(text)), walk_(WithoutByteOrderMark(out_.Source())), walkStart_(Walked()) {
    out_.AppendSource(0, walkStart_);
}

std::string_view LineRewrite::NextLine(platform::MessageBoxes& boxes) {
    lineFrom_ = Walked();
    line_ = GetLineView(walk_, boxes);
    lineNext_ = Walked();
    // LFs before the line's first character or after its last join nothing; only the ones between
    // make the line shorter than the stretch from its first to its last character.
    const std::string_view text = Text();
    std::size_t start = lineFrom_;
    std::size_t end = (lineNext_ > start && text[lineNext_ - 1] == kCr) ? lineNext_ - 1 : lineNext_;
    while (start < end && text[start] == kLf) {
        ++start;
    }
    if (end - start != line_.size()) {
        while (end > start && text[end - 1] == kLf) {
            --end;
        }
    }
    lineJoined_ = end - start != line_.size();
    return line_;
}

void LineRewrite::EndBlock() {
    Bound();
    blockJoined_ = false;
}

void LineRewrite::KeepLine() {
    Bound();
    // The line stands as it is to be written when a CR LF ended it and the only LFs it lost were
    // the one of the pair before it.
    const std::string_view text = Text();
    if (lineNext_ > lineFrom_ && text[lineNext_ - 1] == kCr && lineNext_ < text.size() &&
        text[lineNext_] == kLf) {
        std::size_t start = lineFrom_;
        while (text[start] == kLf) {
            ++start;
        }
        if (lineNext_ - 1 - start == line_.size()) {
            out_.AppendSource(start, lineNext_ + 1 - start);
            return;
        }
    }
    out_.AppendOwn(line_);
    out_.AppendOwn(kCrLf);
}

void LineRewrite::KeepPlainLinesBefore(std::size_t limit) {
    const std::string_view text = Text();
    const char* const base = text.data();
    std::size_t at = Walked();
    limit = std::min(limit, text.size());
    while (at < limit) {
        // The LF of the CR LF pair that ended the line before, which the walk left in front: the
        // walk stands just behind a CR everywhere but at its start. (The CR itself may be gone by
        // now, written over as the kept text closes up.)
        std::size_t start = at;
        if (text[at] == kLf) {
            if (at == walkStart_) {
                break;
            }
            ++start;
        }
        const auto* cr = static_cast<const char*>(std::memchr(base + start, kCr, limit - start));
        if (cr == nullptr) {
            break;
        }
        const auto end = static_cast<std::size_t>(cr - base);
        if (end + 1 >= text.size() || text[end + 1] != kLf ||
            std::memchr(base + start, kLf, end - start) != nullptr) {
            break;
        }
        if (end > start) {
            out_.AppendSource(start, end + 2 - start);
        }
        at = end + 1;
    }
    walk_.SkipAhead(at - Walked());
}

PiecedText LineRewrite::Finish() && {
    // A block still open here runs to the end of the file, so its lines are where the host may
    // see other add-ons' lines, split off by the LFs that the walk dropped.
    if (joinedLineUsed_ || blockJoined_) {
        throw RuntimeError(ErrorNumber::InvalidFileFormat, "Launch.local",
                           std::string(kLoneLfRefusal));
    }
    out_.EndWithOneCrLf();
    return std::move(out_);
}

}  // namespace brelmont
