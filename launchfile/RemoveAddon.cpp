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

PiecedText DropBlocks(std::string launchText, const RegIdCut& cut, platform::MessageBoxes& boxes) {
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
        if (sieve.MayHold(rewritten.LineStart(), rewritten.LineNext(), line) &&
            IsRegIdLineOf(line, cut.AppName) && Contains(line, key)) {
            rewritten.StartBlock();
            inBlock = true;
        } else if (inBlock) {
            inBlock = !Contains(line, kEndOfAddon);
            if (inBlock) {
                rewritten.BlockLine();
            } else {
                rewritten.EndBlock();
            }
        } else if (!line.empty()) {
            rewritten.KeepLine();
        }
    }
    RequireWholeWalk(rewritten.Walk());
    return std::move(rewritten).Finish();
}

}  // namespace

std::int16_t RemoveAddon(LaunchEditContext& run, const std::string& launchPath) {
    run.AppendStatusLine("Reading: " + EscapeControls(launchPath));
    const LaunchEditGuard guard = GuardLaunchEdit(run, launchPath);
    if (guard.refused) {
        return *guard.refused;
    }
    std::string launchText = run.fileLib.ReadTextFileContents(launchPath);
    run.AppendStatusLine("Reading: " + EscapeControls(run.LoaderFile));
    LineText loaderText{ReadLoaderText(run.fileLib, run.LoaderFile)};
    RegIdCut cut;
    CutRegID(GetLine(loaderText, run.boxes), cut, PositionLimit::SixteenBit);
    std::optional<PiecedText> rewritten;
    try {
        rewritten.emplace(DropBlocks(std::move(launchText), cut, run.boxes));
    } catch (const RuntimeError& error) {
        // A refusal to rewrite is an outcome for the caller like a failed write, not a fault.
        if (error.Number() != ErrorNumber::InvalidFileFormat) {
            throw;
        }
        run.AppendReasonLine(error.Description());
        return static_cast<std::int16_t>(error.Number());
    }
    const std::int16_t written =
        ReportedWrite(run, run.fileLib.WriteTextFileContents(launchPath, *rewritten));
    return written == -1 ? LaunchResult::Removed : written;
}

}  // namespace brelmont
