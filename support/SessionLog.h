#pragma once

#include <exception>
#include <string>

#include "platform/Services.h"
#include "support/StringLib.h"

namespace brelmont {

namespace platform {
class MessageBoxes;
}  // namespace platform

// "dd-mmm hh:mm:ss" with the locale's abbreviated month, as the session log stamps its lines.
std::string FormatTimeStamp(const platform::LocalTime& time);

// The session log: a banner per run, then one time-stamped line per reported stage, appended to
// the file at LogPath. It never stops the program: a failure is shown once and turns logging off.
// A line's text is LogEntryText's: control characters escaped, at most kLongestLogText long.
class SessionLog {
  public:
    SessionLog(platform::FileSystem& files, platform::Clock& clock, platform::MessageBoxes& boxes)
        : files_(files), clock_(clock), boxes_(boxes) {}

    std::string LogPath;
    std::string AppVersion;
    bool LogEnabled = false;

    void SetupLog();
    void WriteLog(const std::string& Routine);

  private:
    void Fail(const std::exception_ptr& caught, const std::string& closing);

    platform::FileSystem& files_;
    platform::Clock& clock_;
    platform::MessageBoxes& boxes_;
};

// The system log as a run writes it: every entry's text as LogEntryText makes it, so that a path in
// an error's description (a link's target, a data directory) can neither forge entries nor drive
// the terminal of whoever reads the log. A run hands this to everything it does, so no entry can
// miss it.
class EscapingEventLog final : public platform::EventLog {
  public:
    explicit EscapingEventLog(platform::EventLog& log) : log_(log) {}
    void WriteError(const std::string& text) override;

  private:
    platform::EventLog& log_;
};

}  // namespace brelmont
