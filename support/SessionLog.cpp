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
        const std::string line =
            TrimSpaces(FormatTimeStamp(clock_.Now()) + ": " + TrimSpaces(Routine));
        files_.AppendToFile(LogPath, line + std::string(kCrLf));
    } catch (...) {
        Fail(std::current_exception(),
             "; Could not write to the session log file; disabled session logging");
    }
}

void SessionLog::Fail(const std::exception_ptr& caught, const std::string& closing) {
    const RuntimeError error = AsRuntimeError(caught, "Brelmont:SessionLog");
    LogEnabled = false;
    boxes_.MessageBoxOk(
        "SetupLog Error " + std::to_string(error.Number()) + ", " + error.Description() + closing,
        "");
}

}  // namespace brelmont
