#pragma once

// Drives the real Brelmont.exe from outside, as a user would: finds its windows and boxes by
// class and title, presses their buttons and keys, and waits for the exit status. Every wait has
// a deadline. Texts are UTF-8, as the program keeps them.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32::test {

inline constexpr DWORD kWindowWait = 20000;
inline constexpr DWORD kExitWait = 30000;

// One started program in a job of its own; it and every process it started are killed on the way
// out if still running, so that a run that overran leaves no box behind for the next one to find.
class RunningProgram {
  public:
    // `commandLine` is passed to CreateProcess as it stands, quotation marks and all.
    RunningProgram(const std::string& executable, const std::string& commandLine);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();

    DWORD Id() const { return id_; }
    // The exit status, or nothing when the program is still running after `timeout`.
    std::optional<DWORD> WaitForExit(DWORD timeout = kExitWait);

  private:
    UniqueKernelHandle job_;
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// For WaitForWindow: a window of whichever process shows it.
inline constexpr DWORD kAnyProcess = 0;

// The first visible top-level window of the process with this class and title, once there;
// null after `timeout`.
HWND WaitForWindow(DWORD processId, const std::string& className, const std::string& title,
                   DWORD timeout = kWindowWait);

// True when the process has a visible top-level window of any kind.
bool ShowsAnyWindow(DWORD processId);

// True once `condition` holds, false when it still does not after `timeout`.
bool WaitFor(const std::function<bool()>& condition, DWORD timeout = kWindowWait);

// True once `window` is gone or hidden, false after `timeout`.
bool WaitUntilGone(HWND window, DWORD timeout = kWindowWait);

// The first window of the class below `parent`, at any depth; null when there is none.
HWND FindDescendant(HWND parent, const std::string& className);

// A child button by its text, "&" marks left out; null when there is none.
HWND FindButton(HWND parent, const std::string& text);

// A click on the button as its dialog sees it: the command with the button's identifier.
void Press(HWND dialog, HWND button);

// A key pressed and let go on `window`.
void PressKey(HWND window, WORD key);

std::string WindowText(HWND window);

// The place of `child` in its parent's client area, and the size of a client area.
RECT PlaceInParent(HWND child);
SIZE ClientSize(HWND window);

}  // namespace brelmont::win32::test
