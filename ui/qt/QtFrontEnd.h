#pragma once

#include <cstdint>
#include <string>

#include "platform/FrontEnd.h"
#include "ui/qt/MainWindow.h"

namespace brelmont::platform {
class FileSystem;
}

namespace brelmont::qtui {

// The program's windows as Qt Widgets. Create after the QApplication; `files` maps the start of
// the directory browse to the host and must outlive this object.
class QtFrontEnd final : public platform::FrontEnd {
  public:
    explicit QtFrontEnd(const platform::FileSystem& files);

    void MessageBoxOk(const std::string& text, const std::string& title) override;
    bool MessageBoxYesNo(const std::string& text, const std::string& title) override;

    void ShowMainWindow() override;
    void SetTitle(const std::string& title) override;
    void SetStatusText(const std::string& text) override;
    std::string StatusText() override;
    bool Pause(std::int16_t milliSeconds) override;
    void CloseMainWindow() override;

    platform::PathChoice ChooseProgramPath(const platform::PathChoiceRequest& request) override;
    std::string BrowseForDirectory(const platform::BrowseRequest& request) override;
    void ReportUncaughtError(std::int32_t number, const std::string& description) override;

    MainWindow& Window() { return window_; }

  private:
    // Boxes and dialogs belong to the main window while it is on screen.
    QWidget* Owner();

    const platform::FileSystem& files_;
    MainWindow window_;
};

}  // namespace brelmont::qtui
