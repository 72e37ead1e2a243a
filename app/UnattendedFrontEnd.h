#pragma once

#include <functional>
#include <string>

#include "platform/FrontEnd.h"

namespace brelmont {

// The front end of a run that nobody watches: no window is made, pauses do not wait, and every box
// is handed to `record` as one line (its title and text, CR LF shown as " / ") instead of being
// shown; a Yes/No box is answered Yes. The driver never asks it for the path choice or the browse.
class UnattendedFrontEnd final : public platform::FrontEnd {
  public:
    explicit UnattendedFrontEnd(std::function<void(const std::string&)> record)
        : record_(std::move(record)) {}

    void MessageBoxOk(const std::string& text, const std::string& title) override;
    bool MessageBoxYesNo(const std::string& text, const std::string& title) override;
    platform::PathChoice ChooseProgramPath(const platform::PathChoiceRequest& request) override;
    std::string BrowseForDirectory(const platform::BrowseRequest& request) override;

    void ShowMainWindow() override {}
    void SetTitle(const std::string&) override {}
    void SetStatusText(const std::string& text) override { statusText_ = text; }
    std::string StatusText() override { return statusText_; }
    bool Pause(std::int16_t) override { return true; }
    void CloseMainWindow() override {}
    void ReportUncaughtError(std::int32_t number, const std::string& description) override;

  private:
    std::function<void(const std::string&)> record_;
    std::string statusText_;
};

// A box as one line: "[<title>] <text>", the program's name for an empty title, CR LF as " / ".
std::string BoxLine(const std::string& text, const std::string& title);

}  // namespace brelmont
