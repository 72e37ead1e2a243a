#include <exception>
#include <optional>

#include "launchfile/LaunchEditor.h"
#include "launchfile/LaunchText.h"
#include "launchfile/RegId.h"
#include "platform/MessageBoxes.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

// Where the add-on stands in Launch.local, judged by its own RegID lines only. The search stops at
// the add-on's first RegID line: whether a later one holds this revision is for the rebuild to
// tell, which walks those lines anyway, so that an update walks the file once and a half rather
// than twice.
struct Presence {
    bool present = false;
    bool registered = false;        // the first RegID line of the add-on holds the identity key
    std::int64_t namePosition = 0;  // 1-based position of AppName in the first RegID line's text
};

// How many characters from `from` on make whole lines that end before `limit`.
std::size_t LinesBefore(std::string_view text, std::size_t from, std::size_t limit) {
    const std::size_t lastCr = limit > from ? text.rfind(kCr, limit - 1) : std::string_view::npos;
    return lastCr == std::string_view::npos || lastCr < from ? 0 : lastCr + 1 - from;
}

Presence FindAddon(std::string_view launchText, const RegIdCut& cut,
                   platform::MessageBoxes& boxes) {
    Presence presence;
    const std::string key = cut.IdentityKey();
    LineText walk{launchText};
    NameSieve sieve(launchText, cut.AppName);
    std::size_t lineStart = 0;
    while (!walk.Empty()) {
        // Straight to the line that holds the name's next occurrence: no line before it can be a
        // RegID line of the add-on.
        const std::size_t position = launchText.size() - walk.RestSize();
        walk.SkipAhead(LinesBefore(launchText, position, sieve.NextFrom(position)));
        if (walk.Empty()) {
            break;
        }
        lineStart = launchText.size() - walk.RestSize();
        const std::string_view line = GetLineView(walk, boxes);
        if (!sieve.MayHold(lineStart, launchText.size() - walk.RestSize(), line) ||
            !IsRegIdLineOf(line, cut.AppName)) {
            continue;
        }
        presence.present = true;
        presence.namePosition = static_cast<std::int64_t>(
            lineStart + FindPosition(launchText.substr(lineStart), cut.AppName));
        presence.registered = Contains(line, key);
        break;
    }
    RequireWholeWalk(walk);
    return presence;
}

// The new block of an update: RegID, CR LF and the loader text behind the RegID line's line break,
// ended by CR LF unless that text ends a line itself, in a CR or a CR LF pair. A trailing LF alone
// ends no line, whatever stands before it: the line after the block would join its last line.
std::string UpdateBlock(const RegIdCut& cut, std::string_view loaderRest) {
    if (loaderRest.starts_with(kLf)) {
        loaderRest.remove_prefix(1);
    }
    std::string block = cut.RegID + std::string(kCrLf) + std::string(loaderRest);
    if (!loaderRest.empty() && !loaderRest.ends_with(kCr) && !loaderRest.ends_with(kCrLf)) {
        block += kCrLf;
    }
    return block;
}

// The text with each old block of the add-on replaced by `block`; nothing when a RegID line of the
// add-on holds this revision after all, and the add-on is registered.
std::optional<PiecedText> ReplaceBlocks(std::string launchText, const RegIdCut& cut,
                                        const std::string& block, platform::MessageBoxes& boxes) {
    const std::string key = cut.IdentityKey();
    LineRewrite rewritten(std::move(launchText));
    NameSieve sieve(rewritten.Text(), cut.AppName);
    bool inBlock = false;
    while (!rewritten.Done()) {
        // Lines before the name's next occurrence cannot start a block and are kept.
        if (!inBlock) {
            rewritten.KeepPlainLinesBefore(sieve.NextFrom(rewritten.Position()));
            if (rewritten.Done()) {
                break;
            }
        }
        const std::string_view line = rewritten.NextLine(boxes);
        const bool regIdLine = sieve.MayHold(rewritten.LineStart(), rewritten.LineNext(), line) &&
                               IsRegIdLineOf(line, cut.AppName);
        if (regIdLine && Contains(line, key)) {
            RequireWholeWalk(rewritten.Walk());
            return std::nullopt;
        }
        if (inBlock) {
            inBlock = !Contains(line, kEndOfAddon);
            // Nothing is kept while the old block is skipped, so putting the new block in at its
            // end rather than at its first line changes nothing but lets it take the old one's
            // room.
            if (inBlock) {
                rewritten.BlockLine();
            } else {
                rewritten.EndBlock();
                rewritten.Append(block);
            }
        } else if (regIdLine) {
            rewritten.StartBlock();
            inBlock = true;
        } else if (!line.empty()) {
            rewritten.KeepLine();
        }
    }
    if (inBlock) {
        rewritten.Append(block);
    }
    RequireWholeWalk(rewritten.Walk());
    return std::move(rewritten).Finish();
}

// What a failure caught at `step` tells beyond the step number: a refusal to rewrite its reason, a
// failed read the description of its failure. A cut that fails is told by the report itself.
std::optional<std::string> FailureReason(std::int16_t step, const RuntimeError& error) {
    if (error.Number() == ErrorNumber::InvalidFileFormat) {
        return error.Description();
    }
    const std::string description = "failed (" + EscapeControls(error.Description()) + ")";
    switch (step) {
        case 201:
            return "Reading Launch.local " + description;
        case 202:
            return "Reading the loader file " + description;
        default:
            return std::nullopt;
    }
}

std::string ErrorReport(std::int16_t step, const RegIdCut& cut) {
    // The loader's first line is the caller's text: escaped, it cannot add lines to the report.
    return "Error at Step: " + std::to_string(step) + std::string(kCrLf) +
           ">>>RegID=" + EscapeControls(cut.RegID) + ", Pos1=" + std::to_string(cut.pos1) +
           ", pos2=" + std::to_string(cut.pos2) + ", pos3=" + std::to_string(cut.pos3) +
           ", AppName=" + EscapeControls(cut.AppName) + ", AppRev=" + EscapeControls(cut.AppRev);
}

}  // namespace

std::int16_t RegisterAddon(LaunchEditContext& run, const std::string& launchPath) {
    RegIdCut cut;
    try {
        run.Step = 201;
        run.AppendStatusLine("Reading: " + EscapeControls(launchPath));
        const LaunchEditGuard guard = GuardLaunchEdit(run, launchPath);
        if (guard.refused) {
            return *guard.refused;
        }
        std::string launchText = run.fileLib.ReadTextFileContents(launchPath);
        launchText += kCrLf;
        run.AppendStatusLine("Reading: " + EscapeControls(run.LoaderFile));

        run.Step = 202;
        LineText loaderText{ReadLoaderText(run.fileLib, run.LoaderFile)};
        run.AppendStatusLine(">>>Finding: " + std::string(loaderText.Rest()));

        run.Step = 203;
        CutRegID(GetLine(loaderText, run.boxes), cut, PositionLimit::SixteenBit);
        if (!HoldsEndLine(loaderText.Rest())) {
            throw RuntimeError(ErrorNumber::InvalidFileFormat, "Brelmont:RegisterAddon",
                               std::string(kNoEndLineRefusal));
        }

        run.Step = 204;
        run.AppendStatusLine("Reading: " + EscapeControls(launchPath));
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
            const std::int16_t written =
                ReportedWrite(run, run.fileLib.WriteTextFileContents(launchPath, launchText));
            return written == -1 ? LaunchResult::Added : written;
        }
        std::optional<PiecedText> rewritten;
        if (!presence.registered) {
            rewritten = ReplaceBlocks(std::move(launchText), cut,
                                      UpdateBlock(cut, loaderText.Rest()), run.boxes);
        }
        if (!rewritten) {
            run.Step = 206;
            return LaunchResult::AlreadyRegistered;
        }
        const std::int16_t written =
            ReportedWrite(run, run.fileLib.WriteTextFileContents(launchPath, *rewritten));
        return written == -1 ? LaunchResult::Replaced : written;
    } catch (const RuntimeError& error) {
        // Every failure ends in the report below; Launch.local is only ever written last. The
        // report names no cause, so a failure that has one to tell says it first.
        if (const std::optional<std::string> reason = FailureReason(run.Step, error)) {
            run.AppendReasonLine(*reason);
        }
    } catch (const std::exception&) {
    }
    run.boxes.MessageBoxOk(ErrorReport(run.Step, cut), "");
    return LaunchResult::ErrorReported;
}

}  // namespace brelmont
