#include <exception>

#include "launchfile/LaunchEditor.h"
#include "launchfile/LaunchText.h"
#include "launchfile/RegId.h"
#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

// Where the add-on stands in Launch.local, judged by its own RegID lines only.
struct Presence {
    bool present = false;
    bool registered = false;        // some RegID line of the add-on holds the identity key
    std::int64_t namePosition = 0;  // 1-based position of AppName in the first RegID line's text
};

Presence FindAddon(std::string_view launchText, const RegIdCut& cut,
                   platform::MessageBoxes& boxes) {
    Presence presence;
    const std::string key = cut.IdentityKey();
    LineText walk{launchText};
    std::size_t lineStart = 0;
    while (!walk.Empty()) {
        lineStart = launchText.size() - walk.RestSize();
        const std::string line = GetLine(walk, boxes);
        if (!IsRegIdLineOf(line, cut.AppName)) {
            continue;
        }
        if (!presence.present) {
            presence.present = true;
            presence.namePosition = static_cast<std::int64_t>(
                lineStart + FindPosition(launchText.substr(lineStart), cut.AppName));
        }
        if (Contains(line, key)) {
            presence.registered = true;
            break;
        }
    }
    RequireWholeWalk(walk);
    return presence;
}

// The new block of an update: RegID, CR LF and the loader text behind the RegID line's line break,
// ended by CR LF when it does not end in a line break of its own.
std::string UpdateBlock(const RegIdCut& cut, std::string_view loaderRest) {
    if (loaderRest.starts_with(kLf)) {
        loaderRest.remove_prefix(1);
    }
    std::string block = cut.RegID + std::string(kCrLf) + std::string(loaderRest);
    if (!loaderRest.empty() && loaderRest.back() != kCr && loaderRest.back() != kLf) {
        block += kCrLf;
    }
    return block;
}

std::string ReplaceBlocks(std::string_view launchText, const RegIdCut& cut,
                          const std::string& block, platform::MessageBoxes& boxes) {
    std::string rewritten(SplitByteOrderMark(launchText));
    rewritten.reserve(launchText.size() + block.size());
    LineText walk{launchText};
    bool inBlock = false;
    while (!walk.Empty()) {
        const std::string line = GetLine(walk, boxes);
        if (inBlock) {
            inBlock = !Contains(line, kEndOfAddon);
        } else if (IsRegIdLineOf(line, cut.AppName)) {
            rewritten += block;
            inBlock = true;
        } else if (!line.empty()) {
            rewritten += line;
            rewritten += kCrLf;
        }
    }
    RequireWholeWalk(walk);
    return FinishRewrite(std::move(rewritten));
}

std::string ErrorReport(std::int16_t step, const RegIdCut& cut) {
    return "Error at Step: " + std::to_string(step) + std::string(kCrLf) + ">>>RegID=" + cut.RegID +
           ", Pos1=" + std::to_string(cut.pos1) + ", pos2=" + std::to_string(cut.pos2) +
           ", pos3=" + std::to_string(cut.pos3) + ", AppName=" + cut.AppName +
           ", AppRev=" + cut.AppRev;
}

}  // namespace

std::int16_t RegisterAddon(LaunchEditContext& run, const std::string& launchPath) {
    RegIdCut cut;
    try {
        run.Step = 201;
        run.AppendStatusLine("Reading: " + launchPath);
        const auto lock = LockLaunchDirectory(run.fileLib.Files(), launchPath);
        std::string launchText = run.fileLib.ReadTextFileContents(launchPath);
        launchText += kCrLf;
        run.AppendStatusLine("Reading: " + run.LoaderFile);

        run.Step = 202;
        LineText loaderText{ReadLoaderText(run.fileLib, run.LoaderFile)};
        run.AppendStatusLine(">>>Finding: " + std::string(loaderText.Rest()));

        run.Step = 203;
        CutRegID(GetLine(loaderText, run.boxes), cut, PositionLimit::SixteenBit);

        run.Step = 204;
        run.AppendStatusLine("Reading: " + launchPath);
        std::string_view launchBody = launchText;
        SplitByteOrderMark(launchBody);
        const Presence presence = FindAddon(launchBody, cut, run.boxes);
        cut.pos1 = presence.namePosition;

        if (!presence.present) {
            launchText += cut.RegID;
            launchText += kCrLf;
            while (!loaderText.Empty()) {
                launchText += GetLine(loaderText, run.boxes);
                launchText += kCrLf;
            }
            RequireWholeWalk(loaderText);
            run.Step = 205;
            const std::int16_t written = run.fileLib.WriteTextFileContents(launchPath, launchText);
            return written == -1 ? LaunchResult::Added : written;
        }
        if (presence.registered) {
            run.Step = 206;
            return LaunchResult::AlreadyRegistered;
        }
        const std::string rewritten =
            ReplaceBlocks(launchText, cut, UpdateBlock(cut, loaderText.Rest()), run.boxes);
        const std::int16_t written = run.fileLib.WriteTextFileContents(launchPath, rewritten);
        return written == -1 ? LaunchResult::Replaced : written;
    } catch (const std::exception&) {
        // Every failure ends in the report below; Launch.local is only ever written last.
    }
    run.boxes.MessageBoxOk(ErrorReport(run.Step, cut), "");
    return LaunchResult::ErrorReported;
}

}  // namespace brelmont
