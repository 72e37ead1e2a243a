#include "launchfile/LaunchEditor.h"
#include "launchfile/LaunchText.h"
#include "launchfile/RegId.h"
#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

std::string DropBlocks(std::string_view launchText, const RegIdCut& cut,
                       platform::MessageBoxes& boxes) {
    const std::string key = cut.IdentityKey();
    std::string rewritten(SplitByteOrderMark(launchText));
    rewritten.reserve(launchText.size() + kCrLf.size());
    LineText walk{launchText};
    bool inBlock = false;
    while (!walk.Empty()) {
        const std::string line = GetLine(walk, boxes);
        if (IsRegIdLineOf(line, cut.AppName) && Contains(line, key)) {
            inBlock = true;
        } else if (inBlock) {
            inBlock = !Contains(line, kEndOfAddon);
        } else if (!line.empty()) {
            rewritten += line;
            rewritten += kCrLf;
        }
    }
    RequireWholeWalk(walk);
    return FinishRewrite(std::move(rewritten));
}

}  // namespace

std::int16_t RemoveAddon(LaunchEditContext& run, const std::string& launchPath) {
    run.AppendStatusLine("Reading: " + launchPath);
    const auto lock = LockLaunchDirectory(run.fileLib.Files(), launchPath);
    const std::string launchText = run.fileLib.ReadTextFileContents(launchPath);
    run.AppendStatusLine("Reading: " + run.LoaderFile);
    LineText loaderText{ReadLoaderText(run.fileLib, run.LoaderFile)};
    RegIdCut cut;
    CutRegID(GetLine(loaderText, run.boxes), cut, PositionLimit::SixteenBit);
    const std::int16_t written =
        run.fileLib.WriteTextFileContents(launchPath, DropBlocks(launchText, cut, run.boxes));
    return written == -1 ? LaunchResult::Removed : written;
}

}  // namespace brelmont
