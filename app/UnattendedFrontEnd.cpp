#include "app/UnattendedFrontEnd.h"

#include "support/StringLib.h"

namespace brelmont {

std::string BoxLine(const std::string& text, const std::string& title) {
    std::string line = "[" + (title.empty() ? std::string(platform::kProgramName) : title) + "] ";
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, kCrLf.size(), kCrLf) == 0) {
            line += " / ";
            ++at;
        } else {
            line += text[at];
        }
    }
    return line;
}

void UnattendedFrontEnd::MessageBoxOk(const std::string& text, const std::string& title) {
    record_(BoxLine(text, title));
}

bool UnattendedFrontEnd::MessageBoxYesNo(const std::string& text, const std::string& title) {
    record_(BoxLine(text, title) + " -> Yes");
    return true;
}

platform::PathChoice UnattendedFrontEnd::ChooseProgramPath(const platform::PathChoiceRequest&) {
    return {};
}

std::string UnattendedFrontEnd::BrowseForDirectory(const platform::BrowseRequest&) {
    return {};
}

void UnattendedFrontEnd::ReportUncaughtError(std::int32_t number, const std::string& description) {
    record_(BoxLine("Run-time error '" + std::to_string(number) + "':" + std::string(kCrLf) +
                        std::string(kCrLf) + description,
                    ""));
}

}  // namespace brelmont
