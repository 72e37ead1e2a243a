#include "app/ExitStatus.h"
#include "app/frmBrelmont.h"
#include "discovery/ConfReader.h"
#include "discovery/DirectoryBrowse.h"
#include "discovery/ProgramDirectories.h"
#include "launchfile/LaunchEditor.h"
#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

const std::string kCrLfText(kCrLf);

}  // namespace

void frmBrelmont::UpdateLaunchLocal(const std::string& action) {
    if (action == "install") {
        const bool integrate = ui_.MessageBoxYesNo(
            "Integrate this Add-on with Kelvane on this PC?" + kCrLfText + kCrLfText +
                "Press 'Yes' to update Kelvane's Launch.Local file." + kCrLfText +
                "Press 'No' to run this program standalone.",
            "Integrate with Kelvane");
        if (!integrate) {
            log_.WriteLog("Setting up as a stand-alone program");
            Form_Unload(ExitStatus::Intended);
        }
    }
    AppendStatusLine("Searching for installed Kelvane program... ");
    Pause(500);

    const std::string programDirectory = FindProgramDirectory();
    if (programDirectory.empty()) {
        log_.WriteLog("No Kelvane program directory was found or selected; quiting");
        ui_.MessageBoxOk("No Kelvane program directory was selected.  Verify that" + kCrLfText +
                             "Kelvane is correctly installed or your selected path is correct.",
                         "");
        Form_Unload(ExitStatus::NoProgramDirectory);
    }
    log_.WriteLog("Found Kelvane program directory at " + programDirectory);
    AppendStatusLine("Program Path: " + EscapeControls(programDirectory));

    Shared.DataPath = FindDataDirectory(programDirectory);
    if (Shared.DataPath.empty()) {
        log_.WriteLog("Could not find Kelvane.conf in directory " + programDirectory + "; quiting");
        ui_.MessageBoxOk("Could not find Kelvane.conf in directory " +
                             EscapeControls(programDirectory) + " ." + kCrLfText +
                             "Please confirm that the path is correct and that Kelvane is "
                             "correctly installed.",
                         "Launch.local Update");
        Form_Unload(ExitStatus::NoDataDirectory);
    }

    const std::string launchPath = Shared.DataPath + "\\Launch.local";
    log_.WriteLog("Starting Update to " + launchPath);
    AppendStatusLine("Updating: " + EscapeControls(launchPath));
    Pause(500);

    LaunchEditContext edit{
        .fileLib = fileLib_,
        .boxes = ui_,
        .AppendStatusLine = [this](const std::string& line) { AppendStatusLine(line); },
        .AppendReasonLine = [this](const std::string& line) { AppendReasonLine(line); },
        .LoaderFile = LoaderFile,
        .Step = trap_.Step,
    };
    const std::int16_t result =
        action == "install" ? RegisterAddon(edit, launchPath) : RemoveAddon(edit, launchPath);
    const std::string outcome = OutcomeText(result);
    closedStatus_ = OutcomeExitStatus(result);
    log_.WriteLog("Update outcome: " + outcome);
    AppendStatusLine(outcome);
    Pause(3000);
    Form_Unload(closedStatus_);
}

// Kelvane's data directory named in Kelvane.conf in the program directory; the empty text when
// there is no such file or it names none.
std::string frmBrelmont::FindDataDirectory(const std::string& programDirectory) {
    AppendStatusLine("Retrieving Kelvane data directory...");
    Pause(500);
    const std::string confPath = programDirectory + "\\Kelvane.conf";
    if (!fileLib_.FileExists(confPath)) {
        return {};
    }
    const std::string dataPath = services_.files.PathFromFileText(
        GetPathFromConf(confPath, trap_, services_.files, services_.eventLog));
    if (!dataPath.empty()) {
        services_.files.NamedBy(dataPath, confPath);
    }
    log_.WriteLog("Found Kelvane data directory at " + dataPath);
    AppendStatusLine("Data Path: " + EscapeControls(dataPath));
    return dataPath;
}

std::string frmBrelmont::FindProgramDirectory() {
    // The caller knows where Kelvane is: no search, no pick list, no browse.
    if (!options_.kelvaneDirectory.empty()) {
        if (options_.kelvaneDirectory.size() > FileLib::kLongestPath) {
            throw RuntimeError(ErrorNumber::BadFileNameOrNumber, "Brelmont");
        }
        services_.files.NamedByCaller(options_.kelvaneDirectory);
        return options_.kelvaneDirectory;
    }
    const std::string candidates = FindKelvaneDirs(services_.files);
    std::string programDirectory = candidates;
    if (CountCandidates(candidates) > 1) {
        if (options_.unattended) {
            // Choosing one silently could register the add-on with the wrong installation.
            std::string listed = candidates;
            for (std::size_t at = listed.find(kCrLfText); at != std::string::npos;
                 at = listed.find(kCrLfText, at)) {
                listed.replace(at, kCrLfText.size(), "; ");
            }
            log_.WriteLog(
                "Several Kelvane program directories found, none chosen unattended (set " +
                std::string(kKelvaneDirVariable) + "): " + listed);
            return {};
        }
        programDirectory = ChooseAmongCandidates(candidates);
    }
    if (programDirectory.empty() && !options_.unattended) {
        ui_.MessageBoxOk("No Kelvane directory was found.  After pressing OK," + kCrLfText +
                             "navigate to select the 'Program Directory' (it will show empty)," +
                             kCrLfText + "and then press Save.",
                         "");
        programDirectory = GetKelvaneDirName(ui_, services_.files);
    }
    return programDirectory;
}

std::string frmBrelmont::ChooseAmongCandidates(const std::string& candidates) {
    Shared.ProgramPathList = candidates;
    const platform::PathChoice choice = ui_.ChooseProgramPath(platform::PathChoiceRequest{
        .caption = "Select Kelvane Program Path",
        .label = "Found more than one Kelvane Programs Directory." + kCrLfText +
                 "Double-click on the Program Path that you want to use.",
        .columnHeader = "Directory Path",
        .entries = FillPathList(Shared.ProgramPathList, ui_),
    });
    switch (choice.end) {
        case platform::PathChoiceEnd::Chosen:
            Shared.SelectedProgramPath = choice.path;
            break;
        case platform::PathChoiceEnd::Cancelled:
            Shared.SelectedProgramPath.clear();
            break;
        case platform::PathChoiceEnd::Closed:
            break;
    }
    return Shared.SelectedProgramPath;
}

}  // namespace brelmont
