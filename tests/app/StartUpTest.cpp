// Start-up: the command line, its refusals, and the choice between install and removal.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/app/RunFixture.h"

namespace brelmont::testing {
namespace {

std::string Usage(int fields) {
    return "Only " + std::to_string(fields) +
           " Command Line arguments found.  Format is:\r\n1. install | uinstall\r\n2. loader "
           "File Name";
}

struct Refusal {
    const char* name;
    std::string argumentText;
    std::string status;
    std::string box;
    std::vector<std::string> log;
};

class StartUpRefuses : public RunTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(StartUpRefuses, EndsBeforeTouchingKelvane) {
    const Refusal& c = GetParam();
    InstallKelvane();
    p.files.AddFile(kLaunch, kOtherBlock);
    p.files.AddFile("C:\\Addons\\Hidden.local", kSampleBlock, /*hidden=*/true);

    EXPECT_EQ(p.Run(c.argumentText), ExitStatus::CommandLineRefused);

    EXPECT_EQ(p.ui.title, "Brelmont v3.3.6");
    EXPECT_EQ(Status(), c.status);
    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.boxes[0].kind, "ok");
    EXPECT_EQ(p.ui.boxes[0].title, "");
    EXPECT_EQ(p.ui.boxes[0].text, c.box);
    const auto& journal = p.ui.journal;
    const auto box = std::find_if(journal.begin(), journal.end(),
                                  [](const std::string& e) { return e.starts_with("box:"); });
    EXPECT_TRUE(std::none_of(box, journal.end(),
                             [](const std::string& e) { return e.starts_with("status:"); }));
    EXPECT_EQ(p.LogMessages(), c.log);
    EXPECT_TRUE(p.ui.pauses.empty());
    EXPECT_EQ(p.files.ReplaceCount(), 0);
    EXPECT_EQ(LaunchFile(), kOtherBlock);
    EXPECT_TRUE(p.eventLog.entries.empty());
}

const std::string kStart = "Starting Launch.local update process";
const std::string kMissing = "Missing Launch file on command line.";

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StartUpRefuses,
    ::testing::Values(
        Refusal{"Empty", "", "", Usage(0), {kStart, kMissing}},
        Refusal{"OneField", "install", "", Usage(1), {kStart, kMissing}},
        Refusal{"OneSpace", " ", "", Usage(1), {kStart, kMissing}},
        Refusal{"ThreeFields", "install," + kLoader + ",extra", "", Usage(3), {kStart, kMissing}},
        Refusal{"EmptyMiddleField", "a,,b", "", Usage(3), {kStart, kMissing}},
        Refusal{"TrailingComma",
                "install,",
                Lines({"** Installing Add-on **", "Found loader File: "}),
                "File  not found",
                {kStart, "Found loader file:"}},
        Refusal{"NoSuchLoader",
                "install,C:\\Addons\\Missing.local",
                Lines({"** Installing Add-on **", "Found loader File: C:\\Addons\\Missing.local"}),
                "File C:\\Addons\\Missing.local not found",
                {kStart, "Found loader file: C:\\Addons\\Missing.local"}},
        Refusal{"LoaderIsDirectory",
                "uinstall,C:\\Addons",
                Lines({"** Uninstalling Add-on **", "Found loader File: C:\\Addons"}),
                "File C:\\Addons not found",
                {kStart, "Found loader file: C:\\Addons"}},
        Refusal{"HiddenLoader",
                "install,C:\\Addons\\Hidden.local",
                Lines({"** Installing Add-on **", "Found loader File: C:\\Addons\\Hidden.local"}),
                "File C:\\Addons\\Hidden.local not found",
                {kStart, "Found loader file: C:\\Addons\\Hidden.local"}},
        Refusal{"QuotesStayInName",
                "install,\"" + kLoader + "\"",
                Lines({"** Installing Add-on **", "Found loader File: \"" + kLoader + "\""}),
                "File \"" + kLoader + "\" not found",
                {kStart, "Found loader file: \"" + kLoader + "\""}}),
    kByName);

struct Accepted {
    const char* name;
    std::string argumentText;
    bool install;
};

class StartUpAccepts : public RunTest, public ::testing::WithParamInterface<Accepted> {};

// Only the exact word "install" registers (behind the prompt); every other word removes.
TEST_P(StartUpAccepts, ActionSelectsTheEdit) {
    const Accepted& c = GetParam();
    InstallKelvane();
    p.files.AddFile(kLaunch, kOtherBlock + kSampleBlock);

    EXPECT_EQ(p.Run(c.argumentText), ExitStatus::Intended);

    EXPECT_TRUE(Status().starts_with(
        Lines({c.install ? "** Installing Add-on **" : "** Uninstalling Add-on **",
               "Found loader File: " + kLoader, "Searching for installed Kelvane program... "})))
        << Status();
    const auto messages = p.LogMessages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Found loader file: " + kLoader);
    const bool prompted = !p.ui.boxes.empty() && p.ui.boxes.front().kind == "yesno";
    EXPECT_EQ(prompted, c.install);
    EXPECT_EQ(LaunchFile(), c.install ? kOtherBlock + kSampleBlock : kOtherBlock);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, StartUpAccepts,
                         ::testing::Values(Accepted{"Install", "install," + kLoader, true},
                                           Accepted{"SpacesTrimmed",
                                                    "  install  ,  " + kLoader + "  ", true},
                                           Accepted{"Uinstall", "uinstall," + kLoader, false},
                                           Accepted{"TabStays", "install\t," + kLoader, false},
                                           Accepted{"CapitalInstall", "Install," + kLoader, false},
                                           Accepted{"UpperInstall", "INSTALL," + kLoader, false},
                                           Accepted{"EmptyAction", "," + kLoader, false}),
                         kByName);

}  // namespace
}  // namespace brelmont::testing
