#include "ui/console/ConsoleFrontEnd.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <istream>
#include <ostream>
#include <thread>

#include "platform/Services.h"
#include "support/StringLib.h"
#include "ui/common/UncaughtErrorText.h"

namespace brelmont::console {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsDrivePath(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\') &&
           !(path.size() == 3 && IsDrivePath(path))) {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string ToTerminalLines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines.push_back(text[i]);
    }
    return lines;
}

ConsoleFrontEnd::ConsoleFrontEnd(std::istream& in, std::ostream& out, std::ostream& err,
                                 platform::FileSystem& files, bool interactive, bool echoAnswers)
    : in_(in),
      out_(out),
      err_(err),
      files_(files),
      interactive_(interactive),
      echoAnswers_(echoAnswers) {}

void ConsoleFrontEnd::SetTitle(const std::string& title) {
    out_ << title << std::endl;
}

void ConsoleFrontEnd::SetStatusText(const std::string& text) {
    // The program only appends to the status text: print what was added.
    if (text.size() > statusText_.size() && text.starts_with(statusText_)) {
        std::string added = ToTerminalLines(text.substr(statusText_.size()));
        if (!added.empty() && added.back() == '\n') {
            added.pop_back();
        }
        out_ << added << std::endl;
    }
    statusText_ = text;
}

bool ConsoleFrontEnd::Pause(std::int16_t milliSeconds) {
    // A scripted install has nobody to read the pauses for; only a terminal waits.
    if (interactive_ && milliSeconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliSeconds));
    }
    return true;
}

void ConsoleFrontEnd::PrintBox(const std::string& text, const std::string& title) {
    // The driver escapes what it joins into a box; this keeps any text it missed from driving
    // the terminal (a window's box cannot be driven, so only here).
    out_ << '[' << (title.empty() ? platform::kProgramName : title) << ']' << '\n'
         << ToTerminalLines(EscapeControlsButCrLf(text)) << std::endl;
}

bool ConsoleFrontEnd::ReadAnswer(const std::string& prompt, std::string& answer) {
    out_ << prompt << std::flush;
    if (!std::getline(in_, answer)) {
        out_ << std::endl;
        return false;
    }
    if (!answer.empty() && answer.back() == '\r') {
        answer.pop_back();
    }
    if (echoAnswers_) {
        out_ << answer << '\n';
    }
    return true;
}

void ConsoleFrontEnd::MessageBoxOk(const std::string& text, const std::string& title) {
    PrintBox(text, title);
}

bool ConsoleFrontEnd::MessageBoxYesNo(const std::string& text, const std::string& title) {
    PrintBox(text, title);
    std::string answer;
    while (ReadAnswer("[Y/n] ", answer)) {
        const std::string word = Lower(answer);
        if (word.empty() || word == "y" || word == "yes") {
            return true;
        }
        if (word == "n" || word == "no") {
            return false;
        }
    }
    return true;  // Yes is the default button
}

platform::PathChoice ConsoleFrontEnd::ChooseProgramPath(
    const platform::PathChoiceRequest& request) {
    out_ << '[' << request.caption << ']' << '\n' << ToTerminalLines(request.label) << '\n';
    for (std::size_t i = 0; i < request.entries.size(); ++i) {
        out_ << "  " << (i + 1) << ") " << request.entries[i] << '\n';
    }
    std::string answer;
    while (ReadAnswer("Choice (empty to cancel): ", answer)) {
        if (answer.empty()) {
            break;
        }
        const bool digits = std::all_of(answer.begin(), answer.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
        if (digits && answer.size() <= 9) {
            const std::size_t number = std::stoul(answer);
            if (number >= 1 && number <= request.entries.size()) {
                return {platform::PathChoiceEnd::Chosen, request.entries[number - 1]};
            }
        }
        out_ << "Enter a number from 1 to " << request.entries.size() << ", or nothing to cancel"
             << '\n';
    }
    return {platform::PathChoiceEnd::Cancelled, {}};
}

std::string ConsoleFrontEnd::BrowseForDirectory(const platform::BrowseRequest& request) {
    out_ << request.title << '\n';
    std::string answer;
    while (ReadAnswer("Directory (empty to cancel): ", answer)) {
        if (answer.empty()) {
            return {};
        }
        if (files_.IsDirectory(answer)) {
            if (IsDrivePath(answer)) {
                return WithoutTrailingSeparator(answer);
            }
            std::error_code error;
            const auto absolute = std::filesystem::absolute(answer, error).lexically_normal();
            // Shown, logged and used beside the program's other paths: in their form.
            return files_.ProgramPath(WithoutTrailingSeparator(error ? answer : absolute.string()));
        }
        out_ << "Not a directory: " << answer << '\n';
    }
    return {};
}

void ConsoleFrontEnd::ReportUncaughtError(std::int32_t number, const std::string& description) {
    err_ << ui::UncaughtErrorText(number, ToTerminalLines(description), "\n") << std::endl;
}

}  // namespace brelmont::console
