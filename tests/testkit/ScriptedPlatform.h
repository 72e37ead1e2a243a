#pragma once

// The scripted test double of the platform: an in-memory file system, a readable event log, a
// fixed clock and process, and a front end that records every box, status line and pause and
// answers from a script. Many runs can be made in one process.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/FrontEnd.h"
#include "platform/Services.h"

namespace brelmont {
struct RunOptions;
}

namespace brelmont::testing {

// Files keyed by their path with every backslash turned into "/".
class MemoryFileSystem : public platform::FileSystem {
  public:
    MemoryFileSystem();

    // Test set-up. Parent directories are created as needed.
    void AddFile(const std::string& path, const std::string& bytes, bool hidden = false);
    void AddDirectory(const std::string& path);
    std::optional<std::string> Contents(const std::string& path) const;
    bool HasDirectory(const std::string& path) const;
    std::size_t FileCount() const { return files_.size(); }

    // The next `count` replaces fail with run-time error `number` and change nothing.
    void FailReplaces(std::int32_t number, int count = 1);
    // The next lookups of any kind fail with `number`.
    void FailLookups(std::int32_t number);
    // Appends to this path fail with `number`.
    void FailAppendsTo(const std::string& path, std::int32_t number);
    // Reads of this path fail with `number` and a description of the host's own (which may quote
    // a path, as a refused link's does).
    void FailReadsOf(const std::string& path, std::int32_t number, const std::string& description);
    // The directories the caller named, in the order the run handed them on.
    const std::vector<std::string>& NamedByCaller() const { return namedByCaller_; }
    int ReplaceCount() const { return replaceCount_; }
    int LockCount() const { return lockCount_; }

    std::string HostPath(const std::string& path) const override;
    bool OrdinaryFileExists(const std::string& path) override;
    std::uint64_t FileLength(const std::string& path) override;
    std::string ReadFile(const std::string& path, std::uint64_t length) override;
    void ReplaceFileContents(const std::string& path,
                             std::span<const std::string_view> pieces) override;
    void AppendToFile(const std::string& path, std::string_view contents) override;
    bool IsDirectory(const std::string& path) override;
    std::string CurrentDirectory() override { return currentDirectory_; }
    void ChangeDirectory(const std::string& path) override;
    std::unique_ptr<platform::DirectoryLock> LockDirectory(const std::string& path) override;
    void NamedByCaller(const std::string& path) override { namedByCaller_.push_back(path); }

  private:
    std::vector<std::string> namedByCaller_;
    struct File {
        std::string bytes;
        bool hidden = false;
    };
    std::string Key(const std::string& path) const;
    void RequireParent(const std::string& key) const;
    void CheckLookup();

    std::map<std::string, File> files_;
    std::set<std::string> directories_;
    std::string currentDirectory_ = "/work";
    std::int32_t replaceError_ = 0;
    int replaceFailures_ = 0;
    std::int32_t lookupError_ = 0;
    std::map<std::string, std::int32_t> appendErrors_;
    std::map<std::string, std::pair<std::int32_t, std::string>> readErrors_;
    int replaceCount_ = 0;
    int lockCount_ = 0;
};

class RecordingEventLog : public platform::EventLog {
  public:
    void WriteError(const std::string& text) override { entries.push_back(text); }
    std::vector<std::string> entries;
};

class FixedClock : public platform::Clock {
  public:
    platform::LocalTime Now() override { return time; }
    platform::LocalTime time{6, "Dec", 5, 48, 41};
};

class FakeProcess : public platform::Process {
  public:
    std::string ArgumentText() override { return argumentText; }
    std::string ProgramDirectory() override { return programDirectory; }
    platform::Version ProgramVersion() override { return version; }

    std::string argumentText;
    std::string programDirectory = "C:\\Tools\\Brelmont";
    platform::Version version{3, 3, 6};
};

// One recorded box.
struct ShownBox {
    std::string kind;  // "ok" or "yesno"
    std::string title;
    std::string text;
};

class ScriptedFrontEnd : public platform::FrontEnd {
  public:
    // Script.
    std::deque<bool> yesNoAnswers;                 // default when exhausted: Yes
    std::deque<platform::PathChoice> pathChoices;  // default when exhausted: Closed
    std::deque<std::string> browseAnswers;         // default when exhausted: cancel
    int closeAtPause = 0;                          // 1-based pause in which the user closes
    bool browseFails = false;

    // Record.
    std::vector<std::string> statusLines;
    std::vector<ShownBox> boxes;
    std::vector<int> pauses;
    std::vector<platform::PathChoiceRequest> pathRequests;
    std::vector<platform::BrowseRequest> browseRequests;
    std::string title;
    bool shown = false;
    bool closed = false;
    std::optional<std::pair<std::int32_t, std::string>> uncaughtError;
    // Every event in order: "status:", "box:", "pause:", "choose", "browse", "close".
    std::vector<std::string> journal;

    void ShowMainWindow() override;
    void SetTitle(const std::string& text) override { title = text; }
    void SetStatusText(const std::string& text) override;
    std::string StatusText() override { return statusText_; }
    bool Pause(std::int16_t milliSeconds) override;
    void CloseMainWindow() override;
    void MessageBoxOk(const std::string& text, const std::string& boxTitle) override;
    bool MessageBoxYesNo(const std::string& text, const std::string& boxTitle) override;
    platform::PathChoice ChooseProgramPath(const platform::PathChoiceRequest& request) override;
    std::string BrowseForDirectory(const platform::BrowseRequest& request) override;
    void ReportUncaughtError(std::int32_t number, const std::string& description) override;

  private:
    std::string statusText_;
};

// Everything one run needs, wired together.
struct ScriptedPlatform {
    MemoryFileSystem files;
    RecordingEventLog eventLog;
    FixedClock clock;
    FakeProcess process;
    ScriptedFrontEnd ui;

    platform::Services Services() { return {files, eventLog, clock, process}; }
    // Runs the program once with the given command line; the exit status.
    int Run(const std::string& argumentText);
    // The same with the caller's options; an unattended run does not use `ui` at all.
    int Run(const std::string& argumentText, const RunOptions& options);
    // Lines of the session log after the banner, without their time stamps.
    std::vector<std::string> LogMessages() const;
    std::string LogText() const;
};

}  // namespace brelmont::testing
