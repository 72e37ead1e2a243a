// The real program run as a silent installer runs it: BRELMONT_UNATTENDED set, a display named
// that does not exist (so any window it tried to make would end it), and standard input a pipe
// that never sends. It must end on its own with the documented status, and say so in its log.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/reliability/Sandbox.h"

namespace brelmont::reliability {
namespace {

struct Unattended {
    const char* name;
    const char* action;
    std::function<void(Sandbox&)> arrange;
    std::vector<std::string> environment;
    int exit;
    std::string lastLogLine;
    std::string errorText;  // on the standard error stream
};

void PrintTo(const Unattended& c, std::ostream* os) {
    *os << c.name;
}

class UnattendedProgram : public ::testing::TestWithParam<Unattended> {};

TEST_P(UnattendedProgram, EndsOnItsOwnWithoutAWindow) {
    const Unattended& c = GetParam();
    Sandbox box;
    c.arrange(box);
    Start start{.arguments = {std::string(c.action) + "," + box.loader.string()}};
    start.environment = {"BRELMONT_UNATTENDED=1", "DISPLAY=:97.0"};
    start.environment.insert(start.environment.end(), c.environment.begin(), c.environment.end());
    start.silentInput = true;
    start.timeLimit = 60;

    const Finished run = RunProgram(box, start);

    EXPECT_EQ(run.exit, c.exit) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.errorText), std::string::npos) << run.err;
    const std::string log = ReadBytes(box.bin / "logs" / "Brelmont.log");
    if (!c.lastLogLine.empty()) {
        EXPECT_TRUE(log.ends_with(c.lastLogLine + "\r\n")) << log;
    }
}

const Unattended kRuns[] = {
    {"OneInstallation",
     "install",
     [](Sandbox&) {},
     {},
     0,
     "Ended with exit status 0: done as asked",
     ""},
    {"TwoInstallations",
     "install",
     [](Sandbox& box) {
         const fs::path second = box.prefix / "drive_c" / "Program Files (x86)" / "Kelvane";
         fs::create_directories(second);
         fs::copy_file(box.kelvane / "Kelvane.conf", second / "Kelvane.conf");
     },
     {},
     2,
     "Ended with exit status 2: no Kelvane program directory",
     "[Brelmont] No Kelvane program directory was selected."},
    {"NoInstallation",
     "uinstall",
     [](Sandbox& box) { fs::remove(box.kelvane / "Kelvane.conf"); },
     {},
     2,
     "Ended with exit status 2: no Kelvane program directory",
     ""},
    {"DirectoryGiven",
     "install",
     [](Sandbox& box) {
         const fs::path custom = box.prefix / "drive_c" / "Custom";
         fs::create_directories(custom);
         fs::rename(box.kelvane / "Kelvane.conf", custom / "Kelvane.conf");
     },
     {"BRELMONT_KELVANE_DIR=C:\\Custom"},
     0,
     "Ended with exit status 0: done as asked",
     ""},
    {"NoLogsFolder",
     "install",
     [](Sandbox& box) { fs::remove_all(box.bin / "logs"); },
     {},
     0,
     "",
     "[Brelmont] SetupLog Error"},
};

INSTANTIATE_TEST_SUITE_P(Runs, UnattendedProgram, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::reliability
