#pragma once

#include <iosfwd>
#include <string>

#include "platform/FrontEnd.h"

namespace brelmont::platform {
class FileSystem;
}

namespace brelmont::console {

// The front end for terminals, remote sessions and scripted installs: status lines and boxes go
// to standard output as they come, answers are read a line at a time from standard input.
class ConsoleFrontEnd : public platform::FrontEnd {
  public:
    // `interactive`: standard output is a terminal, so pauses really wait for the reader.
    // `echoAnswers`: answers come from a pipe or file, so print them to keep the transcript whole.
    ConsoleFrontEnd(std::istream& in, std::ostream& out, std::ostream& err,
                    platform::FileSystem& files, bool interactive, bool echoAnswers = false);

    void ShowMainWindow() override {}
    void SetTitle(const std::string& title) override;
    void SetStatusText(const std::string& text) override;
    std::string StatusText() override { return statusText_; }
    bool Pause(std::int16_t milliSeconds) override;
    void CloseMainWindow() override {}
    void MessageBoxOk(const std::string& text, const std::string& title) override;
    bool MessageBoxYesNo(const std::string& text, const std::string& title) override;
    platform::PathChoice ChooseProgramPath(const platform::PathChoiceRequest& request) override;
    std::string BrowseForDirectory(const platform::BrowseRequest& request) override;
    void ReportUncaughtError(std::int32_t number, const std::string& description) override;

  private:
    void PrintBox(const std::string& text, const std::string& title);
    // One answer line without its line end; false at the end of input.
    bool ReadAnswer(const std::string& prompt, std::string& answer);

    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    platform::FileSystem& files_;
    bool interactive_;
    bool echoAnswers_;
    std::string statusText_;
};

// The program's texts break lines with CR LF; a terminal wants LF alone.
std::string ToTerminalLines(const std::string& text);

}  // namespace brelmont::console
