#include "support/SessionLog.h"

#include <cstdio>
#include <exception>

#include "platform/MessageBoxes.h"
#include "platform/Services.h"
#include "support/RuntimeError.h"
#include "support/StringLib.h"

namespace brelmont {
namespace {

const std::string kRule(51, '-');

std::string TwoDigits(int value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

}  // namespace

std::string FormatTimeStamp(const platform::LocalTime& time) {
    return TwoDigits(time.day) + "-" + time.monthAbbrev + " " + TwoDigits(time.hour) + ":" +
           TwoDigits(time.minute) + ":" + TwoDigits(time.second);
}

void SessionLog::SetupLog() {
    try {
        std::string banner = kRule + std::string(kCrLf);
        banner += FormatTimeStamp(clock_.Now()) + ": Brelmont " + AppVersion + std::string(kCrLf);
        banner += kRule + std::string(kCrLf);
        files_.AppendToFile(LogPath, banner);
        LogEnabled = true;
    } catch (...) {
        Fail(std::current_exception(), "Could not start Session logging");
    }
}

void SessionLog::WriteLog(const std::string& Routine) {
    if (!LogEnabled) {
        return;
    }
    try {
        // One entry, one line of bounded size: whatever a file, a link or the environment put in
        // the text neither starts a line of its own nor grows root's log without end.
        const std::string line = TrimSpaces(FormatTimeStamp(clock_.Now()) + ": " +
                                            LogEntryText(TrimSpacesView(Routine)));
        files_.AppendToFile(LogPath, line + std::string(kCrLf));
    } catch (...) {
        Fail(std::current_exception(),
             "; Could not write to the session log file; disabled session logging");
    }
}

void SessionLog::Fail(const std::exception_ptr& caught, const std::string& closing) {
    const RuntimeError error = AsRuntimeError(caught, "Brelmont:SessionLog");
    LogEnabled = false;
    boxes_.MessageBoxOk("SetupLog Error " + std::to_string(error.Number()) + ", " +
                            EscapeControls(error.Description()) + closing,
                        "");
}

void EscapingEventLog::WriteError(const std::string& text) {
    std::string entry;
    try {
        entry = LogEntryText(text);
    } catch (...) {
        // Out of memory for 4 KiB: the entry is lost, as an entry must never fail its writer.
        return;
    }
    log_.WriteError(entry);
}

}  // namespace brelmont
