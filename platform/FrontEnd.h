#pragma once

// Everything the program's logic shows a person: the main window, the dialogs and the message
// boxes. Three implementations: the console front end, the Qt Widgets front end and the Win32 front
// end; the tests add a scripted double.

#include <cstdint>
#include <string>

#include "platform/Dialogs.h"
#include "platform/MessageBoxes.h"

namespace brelmont::platform {

class FrontEnd : public MessageBoxes, public Dialogs {
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

    // The report of a run-time error that no routine caught.
    virtual void ReportUncaughtError(std::int32_t number, const std::string& description) = 0;
};

}  // namespace brelmont::platform
