#pragma once

// The windows, dialogs and message boxes the program's logic calls. Three implementations: the
// console front end, the Qt Widgets front end and the scripted test double.

#include <cstdint>
#include <string>
#include <vector>

namespace brelmont::platform {

// Title shown by a message box that has none of its own.
inline constexpr const char* kProgramName = "Brelmont";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // OK box without icon; an empty title shows the program's name.
    virtual void MessageBoxOk(const std::string& text, const std::string& title) = 0;
    // Yes/No box without icon, Yes the default button; true when Yes was pressed.
    virtual bool MessageBoxYesNo(const std::string& text, const std::string& title) = 0;
};

// What the path choice dialog shows: all texts come from the program, the entries already cut
// and filtered.
struct PathChoiceRequest {
    std::string caption;
    std::string label;
    std::string columnHeader;
    std::vector<std::string> entries;
};

enum class PathChoiceEnd {
    Chosen,     // OK or double-click on an entry
    Cancelled,  // the Cancel button
    Closed,     // Esc or any other way of closing the dialog
};

struct PathChoice {
    PathChoiceEnd end = PathChoiceEnd::Closed;
    std::string path;  // the chosen entry when end is Chosen
};

struct BrowseRequest {
    std::string title;
    std::string initialDirectory;  // a path text of the program (map it as the files do)
    std::string proposedFileName;
    std::string filter;
};

class FrontEnd : public MessageBoxes {
  public:
    // The main window.
    virtual void ShowMainWindow() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The whole text of the status label; the program only ever appends to it.
    virtual void SetStatusText(const std::string& text) = 0;
    virtual std::string StatusText() = 0;
    // Waits at least `milliSeconds` while window events are handled. False when the user closed
    // the main window meanwhile; the caller then ends the program at once.
    virtual bool Pause(std::int16_t milliSeconds) = 0;
    // The program's own unload of the main window.
    virtual void CloseMainWindow() = 0;

    // The modal path choice dialog, owned by the main window.
    virtual PathChoice ChooseProgramPath(const PathChoiceRequest& request) = 0;

    // The modal directory choice: a full path without trailing separator, or the empty text when
    // the user gave up. May throw; the caller skips failures.
    virtual std::string BrowseForDirectory(const BrowseRequest& request) = 0;

    // The report of a run-time error that no routine caught.
    virtual void ReportUncaughtError(std::int32_t number, const std::string& description) = 0;
};

}  // namespace brelmont::platform
