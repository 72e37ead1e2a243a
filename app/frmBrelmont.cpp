#include "app/frmBrelmont.h"

#include <exception>
#include <vector>

#include "app/ExitStatus.h"
#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "support/StringLib.h"

namespace brelmont {

frmBrelmont::frmBrelmont(const platform::Services& services, platform::FrontEnd* ui,
                         RunOptions options)
    : eventLog_(services.eventLog),
      services_{services.files, eventLog_, services.clock, services.process},
      options_(std::move(options)),
      unattended_(options_.unattended
                      ? std::make_unique<UnattendedFrontEnd>(
                            [this](const std::string& line) { RecordUnattended(line); })
                      : nullptr),
      ui_(unattended_ ? *unattended_ : *ui),
      fileLib_(services_.files, services_.eventLog),
      log_(services.files, services.clock, ui_),
      closedStatus_(ExitStatus::ClosedByUser) {}

int frmBrelmont::Run() {
    try {
        Form_Load();
    } catch (const ProgramEnd& end) {
        return Ended(end.exitStatus);
    } catch (...) {
        // Start-up and the driver set no trap: what reaches here is reported and ends the run.
        const RuntimeError error = AsRuntimeError(std::current_exception(), "Brelmont");
        // A description may quote a path, a link's target among them.
        ui_.ReportUncaughtError(error.Number(), EscapeControls(error.Description()));
        if (options_.unattended) {
            // Nobody saw a box: the system's log keeps it too, for whoever looks later.
            services_.eventLog.WriteError("Run-time error '" + std::to_string(error.Number()) +
                                          "': " + error.Description());
        }
        return Ended(ExitStatus::UncaughtError);
    }
    // The driver ends every run through the unload; reaching here is a normal ending.
    return Ended(ExitStatus::Intended);
}

int frmBrelmont::Ended(int exitStatus) {
    // An unattended run is diagnosed from its log alone, so the log says how it ended.
    if (options_.unattended) {
        log_.WriteLog("Ended with exit status " + std::to_string(exitStatus) + ": " +
                      ExitStatusMeaning(exitStatus));
    }
    return exitStatus;
}

void frmBrelmont::RecordUnattended(const std::string& line) {
    // Standard error gets the line exactly as the log does: one line, bounded, nothing that a
    // terminal would take for a command.
    const std::string entry = LogEntryText(line);
    log_.WriteLog(entry);
    if (options_.reportLine) {
        options_.reportLine(entry);
    }
}

void frmBrelmont::AppendReasonLine(const std::string& text) {
    AppendStatusLine(text);
    // Nobody reads the window of an unattended run: without this line its log would give an exit
    // status 4 a number and no cause.
    if (options_.unattended) {
        RecordUnattended(text);
    }
}

void frmBrelmont::Form_Load() {
    ui_.SetStatusText("");
    ui_.ShowMainWindow();
    const std::string versionText = services_.process.ProgramVersion().Text();
    ui_.SetTitle("Brelmont v" + versionText);
    trap_.Step = 3;
    log_.AppVersion = versionText;
    log_.LogPath = services_.process.ProgramDirectory() + "\\logs\\Brelmont.log";
    log_.SetupLog();
    log_.WriteLog("Starting Launch.local update process");
    if (!options_.frontEndNote.empty()) {
        log_.WriteLog(options_.frontEndNote);
    }
    if (GetCommandLine(services_.process.ArgumentText()) == 0) {
        log_.WriteLog("Missing Launch file on command line." + LoaderFile);
        Form_Unload(ExitStatus::CommandLineRefused);
    }
    AppendStatusLine(Action == "install" ? "** Installing Add-on **" : "** Uninstalling Add-on **");
    log_.WriteLog("Found loader file: " + LoaderFile);
    AppendStatusLine("Found loader File: " + EscapeControls(LoaderFile));
    if (!fileLib_.FileExists(LoaderFile)) {
        // Refused before anything of Kelvane's is touched: without its loader file the add-on can
        // be neither registered nor identified for removal.
        ui_.MessageBoxOk("File " + EscapeControls(LoaderFile) + " not found", "");
        Form_Unload(ExitStatus::CommandLineRefused);
    }
    UpdateLaunchLocal(Action);
}

std::int16_t frmBrelmont::GetCommandLine(const std::string& text) {
    try {
        trap_.Step = 41;
        std::vector<std::string> fields;
        if (!text.empty()) {
            std::size_t start = 0;
            for (std::size_t comma = text.find(','); comma != std::string::npos;
                 comma = text.find(',', start)) {
                fields.push_back(text.substr(start, comma - start));
                start = comma + 1;
            }
            fields.push_back(text.substr(start));
        }
        if (fields.size() != 2) {
            ui_.MessageBoxOk("Only " + std::to_string(fields.size()) +
                                 " Command Line arguments found.  Format is:" + std::string(kCrLf) +
                                 "1. install | uinstall" + std::string(kCrLf) +
                                 "2. loader File Name",
                             "");
            return 0;
        }
        trap_.Step = 42;
        Action = TrimSpaces(fields[0]);
        LoaderFile = TrimSpaces(fields[1]);
        return -1;
    } catch (const std::exception&) {
        RaiseFromTrap(AsRuntimeError(std::current_exception(), "Brelmont:GetCommandLine"),
                      trap_.LastErrorText, trap_.Step, services_.eventLog,
                      " in Brelmont:GetCommandLine, Step = ", "Brelmont:GetCommandLine");
    }
}

void frmBrelmont::AppendStatusLine(const std::string& text) {
    ui_.SetStatusText(ui_.StatusText() + EscapeControlsButCrLf(text) + std::string(kCrLf));
}

void frmBrelmont::Pause(std::int16_t MilliSeconds) {
    if (!ui_.Pause(MilliSeconds)) {
        Form_Unload(closedStatus_);
    }
}

void frmBrelmont::Form_Unload(int exitStatus) {
    ui_.CloseMainWindow();
    throw ProgramEnd{exitStatus};
}

}  // namespace brelmont
