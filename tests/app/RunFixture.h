#pragma once

// A scripted machine with Brelmont, one add-on's loader file and (optionally) Kelvane installed.

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "app/ExitStatus.h"
#include "support/RuntimeError.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont::testing {

inline const std::string kLoader = "C:\\Addons\\Sample.local";
inline const std::string kKelvane = "C:\\Program Files\\Kelvane";
inline const std::string kData = "C:\\KelvaneData";
inline const std::string kLaunch = "C:\\KelvaneData\\Launch.local";
inline const std::string kSampleBlock =
    "[Sample-1.2]\r\nfirst setting line for Kelvane\r\n/ [EOA]\r\n";
inline const std::string kOtherBlock =
    "[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n";
inline const std::string kInstall = "install," + kLoader;
inline const std::string kUninstall = "uinstall," + kLoader;
inline const std::string kConf = "[Main]\r\nINSTANCE=1\r\nDATADIR=C:\\KelvaneData\r\n";

// Test cases of a table print, and are named, by their `name`.
template <class Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
inline constexpr auto kByName = [](const auto& info) { return std::string(info.param.name); };

// Lines, each followed by CR LF, as the status text holds them.
inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

class RunTest : public ::testing::Test {
  public:
    RunTest() {
        p.files.AddDirectory("C:\\Tools\\Brelmont\\logs");
        p.files.AddFile(kLoader, kSampleBlock);
        p.files.AddDirectory(kData);
    }

    void InstallKelvane(const std::string& location = kKelvane, const std::string& conf = kConf) {
        p.files.AddFile(location + "\\Kelvane.conf", conf);
    }

    std::string Status() { return p.ui.StatusText(); }
    std::string LaunchFile() const { return p.files.Contents(kLaunch).value_or("<none>"); }
    std::string LastLog() const {
        const auto messages = p.LogMessages();
        return messages.empty() ? std::string() : messages.back();
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : p.ui.boxes) {
            texts.push_back(box.text);
        }
        return texts;
    }

    ScriptedPlatform p;
};

}  // namespace brelmont::testing
