#pragma once

#include <windows.h>

#include <string>

#include "ui/win32/UniqueWindowObjects.h"

namespace brelmont::win32 {

// The main window frmBrelmont: the status label lblOut and the pause timer tmrPause.
class MainWindow {
  public:
    static constexpr const wchar_t* kClassName = L"frmBrelmont";

    // Created hidden; shown by Show().
    explicit MainWindow(HINSTANCE instance);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void Show();
    void SetTitle(const std::string& title);
    // The exact text is kept apart from the label, which shows its newest lines broken to fit,
    // so that the program reads back every byte it appended.
    void SetStatusText(const std::string& text);
    const std::string& StatusText() const { return statusText_; }

    // Waits at least `milliSeconds` while window messages are handled, asleep in GetMessage
    // between them. False once the window has been closed, during this wait or before it.
    bool Pause(int milliSeconds);

    // The program's own unload: the window goes at once.
    void Close();

    // Null once the window is gone; boxes and dialogs then have no owner.
    HWND OwnerHandle() const;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut(UINT dpi);
    void PlaceLabel(UINT dpi);
    void tmrPause_Timer();
    void Form_Close(HWND window);

    UniqueFont statusFont_;
    UniqueWindow window_;
    HWND lblOut_ = nullptr;
    std::string statusText_;
    bool ticked_ = false;
    bool closed_ = false;
};

}  // namespace brelmont::win32
