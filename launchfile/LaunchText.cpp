#include "launchfile/LaunchText.h"

#include <algorithm>

#include "launchfile/RegId.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "support/StringLib.h"

namespace brelmont {

std::unique_ptr<platform::DirectoryLock> LockLaunchDirectory(platform::FileSystem& files,
                                                             const std::string& launchPath) {
    const std::size_t separator = launchPath.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string(".") : launchPath.substr(0, separator + 1);
    try {
        return files.LockDirectory(directory);
    } catch (const RuntimeError&) {
        return nullptr;
    }
}

std::string ReadLoaderText(FileLib& fileLib, const std::string& loaderFile) {
    std::string text = fileLib.ReadTextFileContents(loaderFile);
    if (std::string_view(text).starts_with(kByteOrderMark)) {
        text.erase(0, kByteOrderMark.size());
    }
    return text;
}

std::string FinishRewrite(std::string body) {
    std::size_t end = body.size();
    while (end > 0 && (body[end - 1] == kCr || body[end - 1] == kLf)) {
        --end;
    }
    body.resize(end);
    body += kCrLf;
    return body;
}

void RequireWholeWalk(const LineText& walk) {
    if (walk.LostLine()) {
        throw RuntimeError(ErrorNumber::OutOfMemory, "StringLib:GetLine");
    }
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
    if (!searched_ || found_ < from) {
        const std::size_t position = FindPosition(text_.substr(from), name_);
        found_ = position == 0 ? text_.size() : from + position - 1;
        searched_ = true;
    }
    return found_ + name_.size() <= end;
}

namespace {

std::string_view WithoutByteOrderMark(std::string_view text) {
    SplitByteOrderMark(text);
    return text;
}

}  // namespace

LineRewrite::LineRewrite(std::string text)
    : text_(std::move(text)), walk_(WithoutByteOrderMark(text_)) {
    own_.reserve(text_.size() + kCrLf.size());
    own_.assign(text_, 0, text_.size() - walk_.RestSize());
}

std::string_view LineRewrite::NextLine(platform::MessageBoxes& boxes) {
    lineFrom_ = Walked();
    line_ = GetLineView(walk_, boxes);
    lineNext_ = Walked();
    // LFs before the line's first character or after its last join nothing; only the ones between
    // make the line shorter than the stretch from its first to its last character.
    std::size_t start = lineFrom_;
    std::size_t end =
        (lineNext_ > start && text_[lineNext_ - 1] == kCr) ? lineNext_ - 1 : lineNext_;
    while (start < end && text_[start] == kLf) {
        ++start;
    }
    if (end - start != line_.size()) {
        while (end > start && text_[end - 1] == kLf) {
            --end;
        }
    }
    lineJoined_ = end - start != line_.size();
    return line_;
}

void LineRewrite::BoundLine() {
    joinedLineUsed_ = joinedLineUsed_ || lineJoined_;
}

void LineRewrite::KeepLine() {
    BoundLine();
    // The line stands as it is to be written when a CR LF ended it and the only LFs it lost were
    // the one of the pair before it.
    if (lineNext_ > lineFrom_ && text_[lineNext_ - 1] == kCr && lineNext_ < text_.size() &&
        text_[lineNext_] == kLf) {
        std::size_t start = lineFrom_;
        while (text_[start] == kLf) {
            ++start;
        }
        if (lineNext_ - 1 - start == line_.size()) {
            if (runEnd_ != start || runStart_ == runEnd_) {
                FlushRun();
                runStart_ = start;
            }
            runEnd_ = lineNext_ + 1;
            return;
        }
    }
    Append(line_);
    Append(kCrLf);
}

void LineRewrite::FlushRun() {
    if (runStart_ == runEnd_) {
        return;
    }
    const std::string_view run = std::string_view(text_).substr(runStart_, runEnd_ - runStart_);
    runStart_ = runEnd_ = 0;
    Append(run);
}

void LineRewrite::Append(std::string_view piece) {
    FlushRun();
    own_ += piece;
}

std::string LineRewrite::Finish() && {
    if (joinedLineUsed_) {
        throw RuntimeError(ErrorNumber::InvalidFileFormat, "Launch.local",
                           std::string(kLoneLfRefusal));
    }
    FlushRun();
    return FinishRewrite(std::move(own_));
}

}  // namespace brelmont
