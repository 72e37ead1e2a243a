#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/FrontEnd.h"
#include "ui/win32/MainWindow.h"

namespace brelmont::platform {
class FileSystem;
}

namespace brelmont::win32 {

// The program's windows through the Win32 API, in the system ANSI code page. `files` maps the
// start of the directory browse and must outlive this object.
class Win32FrontEnd final : public platform::FrontEnd {
  public:
    Win32FrontEnd(HINSTANCE instance, const platform::FileSystem& files);

    void MessageBoxOk(const std::string& text, const std::string& title) override;
    bool MessageBoxYesNo(const std::string& text, const std::string& title) override;

    void ShowMainWindow() override { window_.Show(); }
    void SetTitle(const std::string& title) override { window_.SetTitle(title); }
    void SetStatusText(const std::string& text) override { window_.SetStatusText(text); }
    std::string StatusText() override { return window_.StatusText(); }
    bool Pause(std::int16_t milliSeconds) override { return window_.Pause(milliSeconds); }
    void CloseMainWindow() override { window_.Close(); }

    platform::PathChoice ChooseProgramPath(const platform::PathChoiceRequest& request) override;
    std::string BrowseForDirectory(const platform::BrowseRequest& request) override;
    void ReportUncaughtError(std::int32_t number, const std::string& description) override;

  private:
    HINSTANCE instance_;
    const platform::FileSystem& files_;
    MainWindow window_;
};

}  // namespace brelmont::win32
