#pragma once

#include <exception>
#include <string>

namespace brelmont {

namespace platform {
class FileSystem;
class Clock;
class MessageBoxes;
struct LocalTime;
}  // namespace platform

// "dd-mmm hh:mm:ss" with the locale's abbreviated month, as the session log stamps its lines.
std::string FormatTimeStamp(const platform::LocalTime& time);

// The session log: a banner per run, then one time-stamped line per reported stage, appended to
// the file at LogPath. It never stops the program: a failure is shown once and turns logging off.
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

}  // namespace brelmont
