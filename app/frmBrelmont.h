#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/RunOptions.h"
#include "app/UnattendedFrontEnd.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "support/SessionLog.h"

namespace brelmont {

namespace platform {
struct Services;
class FrontEnd;
}  // namespace platform

// The program-wide texts: the hand-over to and from the path choice dialog, and Kelvane's data
// directory.
struct Module1 {
    std::string ProgramPathList;
    std::string SelectedProgramPath;
    std::string DataPath;
};

// Thrown to end the program at once (the main window's unload). Deliberately no std::exception,
// so that no error trap takes it for a failure.
struct ProgramEnd {
    int exitStatus;
};

// The main window and the state of one run: one object per run, nothing kept between runs.
class frmBrelmont {
  public:
    // `ui` may be null for an unattended run, which shows nothing.
    frmBrelmont(const platform::Services& services, platform::FrontEnd* ui,
                RunOptions options = {});

    // Loads the window, which runs the whole program; returns the process's exit status.
    int Run();

    std::string LoaderFile;
    std::string Action;
    Module1 Shared;

    std::int16_t GetCommandLine(const std::string& text);
    // Texts of the program's own with CR LF between lines; any other control character is shown
    // escaped. A path or other foreign text in it is escaped (EscapeControls) where it is joined
    // in, so that its CR LF too stays inside its line.
    void AppendStatusLine(const std::string& text);
    void Pause(std::int16_t MilliSeconds);
    std::string LogPath() const { return log_.LogPath; }
    std::string AppVersion() const { return log_.AppVersion; }

  private:
    void Form_Load();
    [[noreturn]] void Form_Unload(int exitStatus);
    void UpdateLaunchLocal(const std::string& action);
    std::string FindProgramDirectory();
    std::string ChooseAmongCandidates(const std::string& candidates);
    std::string FindDataDirectory(const std::string& programDirectory);

    // What an unattended run shows instead of boxes: a session-log line and a report line.
    void RecordUnattended(const std::string& line);
    // A status line saying why the edit of Launch.local was refused or failed.
    void AppendReasonLine(const std::string& text);
    int Ended(int exitStatus);

    // Every system-log entry of the run passes through here: services_ hands it out.
    EscapingEventLog eventLog_;
    platform::Services services_;
    RunOptions options_;
    std::unique_ptr<UnattendedFrontEnd> unattended_;
    platform::FrontEnd& ui_;
    FileLib fileLib_;
    SessionLog log_;
    // The stage the run's trapped routines have reached, and the last failure they caught.
    TrapState trap_;
    // The status the program ends with when the user closes the window during a pause.
    int closedStatus_;
};

}  // namespace brelmont
