// The update driver, run whole through the scripted platform: its status text, session log,
// boxes, pauses, edits of Launch.local and exit status on every way out.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "tests/app/RunFixture.h"

namespace brelmont::testing {
namespace {

const std::string kPrompt =
    "Integrate this Add-on with Kelvane on this PC?\r\n\r\nPress 'Yes' to update Kelvane's "
    "Launch.Local file.\r\nPress 'No' to run this program standalone.";
const std::string kBrowseNotice =
    "No Kelvane directory was found.  After pressing OK,\r\nnavigate to select the 'Program "
    "Directory' (it will show empty),\r\nand then press Save.";
const std::string kNoDirectory =
    "No Kelvane program directory was selected.  Verify that\r\nKelvane is correctly installed "
    "or your selected path is correct.";
std::string NoConfiguration(const std::string& directory) {
    return "Could not find Kelvane.conf in directory " + directory +
           " .\r\nPlease confirm that the path is correct and that Kelvane is correctly installed.";
}
const std::string kRule(51, '-');

TEST_F(RunTest, NormalInstallTrace) {
    InstallKelvane();

    EXPECT_EQ(p.Run(kInstall), ExitStatus::Intended);

    EXPECT_EQ(p.ui.title, "Brelmont v3.3.6");
    EXPECT_EQ(Status(), Lines({"** Installing Add-on **", "Found loader File: " + kLoader,
                               "Searching for installed Kelvane program... ",
                               "Program Path: " + kKelvane, "Retrieving Kelvane data directory...",
                               "Data Path: " + kData, "Updating: " + kLaunch, "Reading: " + kLaunch,
                               "Reading: " + kLoader, ">>>Finding: " + kSampleBlock,
                               "Reading: " + kLaunch, "Added this Addon to Launch.Local"}));
    EXPECT_TRUE(p.LogText().starts_with(kRule + "\r\n06-Dec 05:48:41: Brelmont 3.3.6\r\n" + kRule +
                                        "\r\n06-Dec 05:48:41: Starting Launch.local update "
                                        "process\r\n"));
    EXPECT_EQ(p.LogMessages(),
              (std::vector<std::string>{
                  "Starting Launch.local update process", "Found loader file: " + kLoader,
                  "Found Kelvane program directory at " + kKelvane,
                  "Found Kelvane data directory at " + kData, "Starting Update to " + kLaunch,
                  "Update outcome: Added this Addon to Launch.Local"}));
    EXPECT_EQ(p.ui.pauses, (std::vector<int>{500, 500, 500, 3000}));
    ASSERT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_EQ(p.ui.boxes[0].kind, "yesno");
    EXPECT_EQ(p.ui.boxes[0].title, "Integrate with Kelvane");
    EXPECT_EQ(p.ui.boxes[0].text, kPrompt);
    EXPECT_TRUE(p.ui.pathRequests.empty());
    EXPECT_TRUE(p.ui.browseRequests.empty());
    EXPECT_EQ(LaunchFile(), "\r\n" + kSampleBlock + "\r\n");
    EXPECT_EQ(p.ui.journal.back(), "close");
    EXPECT_TRUE(p.eventLog.entries.empty());
}

TEST_F(RunTest, UninstallTrace) {
    InstallKelvane();
    p.files.AddFile(kLaunch, kOtherBlock + "\r\n" + kSampleBlock + "\r\n\r\n");

    EXPECT_EQ(p.Run(kUninstall), ExitStatus::Intended);

    EXPECT_EQ(Status(), Lines({"** Uninstalling Add-on **", "Found loader File: " + kLoader,
                               "Searching for installed Kelvane program... ",
                               "Program Path: " + kKelvane, "Retrieving Kelvane data directory...",
                               "Data Path: " + kData, "Updating: " + kLaunch, "Reading: " + kLaunch,
                               "Reading: " + kLoader, "Addon settings removed from Launch.Local"}));
    EXPECT_EQ(LastLog(), "Update outcome: Addon settings removed from Launch.Local");
    EXPECT_EQ(p.LogMessages().size(), 6u);
    EXPECT_EQ(p.ui.pauses, (std::vector<int>{500, 500, 500, 3000}));
    EXPECT_TRUE(p.ui.boxes.empty());
    EXPECT_EQ(LaunchFile(), kOtherBlock);
}

TEST_F(RunTest, NoAtThePromptRunsStandAlone) {
    InstallKelvane();
    p.files.AddFile(kLaunch, kOtherBlock);
    p.ui.yesNoAnswers = {false};

    EXPECT_EQ(p.Run(kInstall), ExitStatus::Intended);

    EXPECT_EQ(Status(), Lines({"** Installing Add-on **", "Found loader File: " + kLoader}));
    EXPECT_EQ(p.LogMessages(), (std::vector<std::string>{"Starting Launch.local update process",
                                                         "Found loader file: " + kLoader,
                                                         "Setting up as a stand-alone program"}));
    EXPECT_EQ(p.ui.boxes.size(), 1u);
    EXPECT_TRUE(p.ui.pauses.empty());
    EXPECT_EQ(LaunchFile(), kOtherBlock);
    EXPECT_EQ(p.files.ReplaceCount(), 0);
}

// Several candidates: the dialog offers them; a choice is taken, Cancel and Esc lead to the
// browse prompt exactly as when nothing was found.
struct Choice {
    const char* name;
    platform::PathChoice choice;
    bool browses;
};

class PathChoiceRun : public RunTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(PathChoiceRun, ChoiceOrBrowse) {
    const Choice& c = GetParam();
    const std::string third = "C:\\Program Files\\Wexo Packet";
    InstallKelvane(kKelvane, "DATADIR=C:\\NotThisOne\r\n");
    InstallKelvane(third, "DATADIR=" + kData + "\r\n");
    p.ui.pathChoices = {c.choice};
    p.ui.browseAnswers = {third};

    EXPECT_EQ(p.Run(kInstall), ExitStatus::Intended);

    ASSERT_EQ(p.ui.pathRequests.size(), 1u);
    const platform::PathChoiceRequest& request = p.ui.pathRequests[0];
    EXPECT_EQ(request.caption, "Select Kelvane Program Path");
    EXPECT_EQ(request.label,
              "Found more than one Kelvane Programs Directory.\r\nDouble-click on the Program Path "
              "that you want to use.");
    EXPECT_EQ(request.columnHeader, "Directory Path");
    EXPECT_EQ(request.entries, (std::vector<std::string>{kKelvane, third}));
    EXPECT_EQ(p.ui.browseRequests.size(), c.browses ? 1u : 0u);
    EXPECT_EQ(BoxTexts(), (c.browses ? std::vector<std::string>{kPrompt, kBrowseNotice}
                                     : std::vector<std::string>{kPrompt}));
    EXPECT_NE(Status().find("\r\nProgram Path: " + third + "\r\n"), std::string::npos);
    EXPECT_NE(Status().find("\r\nData Path: " + kData + "\r\n"), std::string::npos);
    EXPECT_EQ(LaunchFile(), "\r\n" + kSampleBlock + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, PathChoiceRun,
    ::testing::Values(Choice{"Chosen",
                             {platform::PathChoiceEnd::Chosen, "C:\\Program Files\\Wexo Packet"},
                             false},
                      Choice{"Cancelled", {platform::PathChoiceEnd::Cancelled, ""}, true},
                      Choice{"EscClosed", {platform::PathChoiceEnd::Closed, ""}, true}),
    kByName);

TEST_F(RunTest, NothingFoundBrowsesToTheDirectory) {
    InstallKelvane("D:\\Kelvane");
    p.ui.browseAnswers = {"D:\\Kelvane"};

    EXPECT_EQ(p.Run(kUninstall), ExitStatus::Intended);

    EXPECT_TRUE(p.ui.pathRequests.empty());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kBrowseNotice});
    EXPECT_EQ(p.ui.boxes[0].title, "");
    EXPECT_EQ(p.ui.browseRequests.size(), 1u);
    EXPECT_EQ(p.LogMessages()[2], "Found Kelvane program directory at D:\\Kelvane");
    EXPECT_EQ(LaunchFile(), "\r\n");
}

TEST_F(RunTest, BrowseCancelledEndsWithNoDirectory) {
    p.ui.browseAnswers = {""};

    EXPECT_EQ(p.Run(kInstall), ExitStatus::NoProgramDirectory);

    EXPECT_EQ(p.LogMessages(),
              (std::vector<std::string>{"Starting Launch.local update process",
                                        "Found loader file: " + kLoader,
                                        "No Kelvane program directory was found or selected; "
                                        "quiting"}));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kPrompt, kBrowseNotice, kNoDirectory}));
    EXPECT_EQ(p.ui.boxes.back().title, "");
    EXPECT_EQ(Status(), Lines({"** Installing Add-on **", "Found loader File: " + kLoader,
                               "Searching for installed Kelvane program... "}));
    EXPECT_EQ(p.ui.pauses, std::vector<int>{500});
    EXPECT_EQ(LaunchFile(), "<none>");
}

// A dialog that cannot be shown leaves the working directory as the program directory.
TEST_F(RunTest, BrowseFailingTakesTheWorkingDirectory) {
    InstallKelvane("D:\\Work");
    p.files.ChangeDirectory("D:\\Work");
    p.ui.browseFails = true;

    EXPECT_EQ(p.Run(kUninstall), ExitStatus::Intended);

    EXPECT_EQ(p.LogMessages()[2],
              "Found Kelvane program directory at " + p.files.CurrentDirectory());
    EXPECT_EQ(LaunchFile(), "\r\n");
}

struct NoData {
    const char* name;
    std::optional<std::string> conf;  // none: no Kelvane.conf in the browsed directory
    std::vector<std::string> log;     // after "Found Kelvane program directory at D:\Empty"
    std::string status;               // after "Retrieving Kelvane data directory..."
};

class NoDataRun : public RunTest, public ::testing::WithParamInterface<NoData> {};

TEST_P(NoDataRun, EndsWithNoConfigurationBox) {
    const NoData& c = GetParam();
    if (c.conf) {
        InstallKelvane("D:\\Empty", *c.conf);
    } else {
        p.files.AddFile("D:\\Empty\\Kelvane.ini", kConf);
    }
    p.ui.browseAnswers = {"D:\\Empty"};

    EXPECT_EQ(p.Run(kUninstall), ExitStatus::NoDataDirectory);

    std::vector<std::string> log{"Starting Launch.local update process",
                                 "Found loader file: " + kLoader,
                                 "Found Kelvane program directory at D:\\Empty"};
    log.insert(log.end(), c.log.begin(), c.log.end());
    log.push_back("Could not find Kelvane.conf in directory D:\\Empty; quiting");
    EXPECT_EQ(p.LogMessages(), log);
    EXPECT_TRUE(Status().ends_with(
        Lines({"Program Path: D:\\Empty", "Retrieving Kelvane data directory..."}) + c.status))
        << Status();
    ASSERT_FALSE(p.ui.boxes.empty());
    EXPECT_EQ(p.ui.boxes.back().title, "Launch.local Update");
    EXPECT_EQ(p.ui.boxes.back().text, NoConfiguration("D:\\Empty"));
    EXPECT_EQ(p.ui.pauses, (std::vector<int>{500, 500}));
    EXPECT_EQ(LaunchFile(), "<none>");
}

INSTANTIATE_TEST_SUITE_P(Configurations, NoDataRun,
                         ::testing::Values(NoData{"MissingConf", std::nullopt, {}, ""},
                                           NoData{"ConfWithoutDatadir",
                                                  "[Main]\r\nINSTANCE=1\r\n",
                                                  {"Found Kelvane data directory at"},
                                                  Lines({"Data Path: "})},
                                           NoData{"EmptyDatadir",
                                                  "DATADIR=\r\n",
                                                  {"Found Kelvane data directory at"},
                                                  Lines({"Data Path: "})}),
                         kByName);

TEST_F(RunTest, DataDirectoryEndingInBackslashDoublesIt) {
    InstallKelvane(kKelvane, "DATADIR=C:\\KelvaneData\\\r\n");

    p.Run(kUninstall);

    const std::string launch = "C:\\KelvaneData\\\\Launch.local";
    EXPECT_NE(Status().find("\r\nData Path: C:\\KelvaneData\\\r\nUpdating: " + launch + "\r\n"),
              std::string::npos)
        << Status();
    EXPECT_EQ(p.LogMessages()[4], "Starting Update to " + launch);
}

// Every edit result: the outcome text shown and logged, the final pause, the exit status.
struct Outcome {
    const char* name;
    std::string argumentText;
    std::string loader;
    std::string launch;  // "": no Launch.local
    std::int32_t failWrite;
    std::string outcome;
    int exit;
};

class OutcomeRun : public RunTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(OutcomeRun, ShownLoggedAndExitStatus) {
    const Outcome& c = GetParam();
    InstallKelvane();
    p.files.AddFile(kLoader, c.loader);
    if (!c.launch.empty()) {
        p.files.AddFile(kLaunch, c.launch);
    }
    if (c.failWrite != 0) {
        p.files.FailReplaces(c.failWrite);
    }

    EXPECT_EQ(p.Run(c.argumentText), c.exit);

    EXPECT_TRUE(Status().ends_with("\r\n" + c.outcome + "\r\n")) << Status();
    EXPECT_EQ(LastLog(), "Update outcome: " + c.outcome);
    EXPECT_EQ(p.ui.pauses, (std::vector<int>{500, 500, 500, 3000}));
    if (c.exit != ExitStatus::Intended || c.outcome.starts_with("Addon already")) {
        EXPECT_EQ(LaunchFile(), c.launch.empty() ? "<none>" : c.launch);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Results, OutcomeRun,
    ::testing::Values(
        Outcome{"Removed", kUninstall, kSampleBlock, kSampleBlock + kOtherBlock, 0,
                "Addon settings removed from Launch.Local", ExitStatus::Intended},
        Outcome{"Replaced", kInstall, "[Sample-1.3]\r\nnew\r\n/ [EOA]\r\n",
                kSampleBlock + kOtherBlock, 0,
                "Updating Launch.Local with the latest Addon setting", ExitStatus::Intended},
        Outcome{"AlreadyRegistered", kInstall, kSampleBlock, kOtherBlock + kSampleBlock, 0,
                "Addon already correctly configured on Launch.Local", ExitStatus::Intended},
        Outcome{"Added", kInstall, kSampleBlock, kOtherBlock, 0, "Added this Addon to Launch.Local",
                ExitStatus::Intended},
        Outcome{"RegistrationError", kInstall, "[Sample 1.2]\r\n", kOtherBlock, 0, "Result = 0",
                ExitStatus::EditFailed},
        Outcome{"AddWriteFails", kInstall, kSampleBlock, kOtherBlock, ErrorNumber::DiskFull,
                "Result = 61", ExitStatus::EditFailed},
        Outcome{"RemoveWriteFails", kUninstall, kSampleBlock, kSampleBlock,
                ErrorNumber::PermissionDenied, "Result = 70", ExitStatus::EditFailed}),
    kByName);

// Closing the main window while the program waits ends it at once; before the outcome that is
// its own exit status, in the final pause the outcome's.
struct Close {
    int atPause;
    std::int32_t failWrite;
    int exit;
    std::string lastLog;
    std::string lastStatus;
};
void PrintTo(const Close& c, std::ostream* os) {
    *os << "pause " << c.atPause << " write error " << c.failWrite;
}

class CloseRun : public RunTest, public ::testing::WithParamInterface<Close> {};

TEST_P(CloseRun, EndsAtOnce) {
    const Close& c = GetParam();
    InstallKelvane();
    p.files.AddFile(kLaunch, kOtherBlock);
    p.ui.closeAtPause = c.atPause;
    if (c.failWrite != 0) {
        p.files.FailReplaces(c.failWrite);
    }

    EXPECT_EQ(p.Run(kInstall), c.exit);

    EXPECT_EQ(p.ui.pauses.size(), static_cast<std::size_t>(c.atPause));
    EXPECT_EQ(LastLog(), c.lastLog);
    EXPECT_TRUE(Status().ends_with("\r\n" + c.lastStatus + "\r\n")) << Status();
    if (c.atPause < 4) {
        EXPECT_EQ(LaunchFile(), kOtherBlock);
        EXPECT_EQ(p.files.ReplaceCount(), 0);
    }
    EXPECT_FALSE(p.ui.uncaughtError.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Pauses, CloseRun,
    ::testing::Values(Close{1, 0, ExitStatus::ClosedByUser, "Found loader file: " + kLoader,
                            "Searching for installed Kelvane program... "},
                      Close{2, 0, ExitStatus::ClosedByUser,
                            "Found Kelvane program directory at " + kKelvane,
                            "Retrieving Kelvane data directory..."},
                      Close{3, 0, ExitStatus::ClosedByUser, "Starting Update to " + kLaunch,
                            "Updating: " + kLaunch},
                      Close{4, 0, ExitStatus::Intended,
                            "Update outcome: Added this Addon to Launch.Local",
                            "Added this Addon to Launch.Local"},
                      Close{4, ErrorNumber::DiskFull, ExitStatus::EditFailed,
                            "Update outcome: Result = 61", "Result = 61"}));

// An error raised into the driver is not caught there: the front end reports it and the run ends
// without an outcome.
struct Uncaught {
    const char* name;
    std::string argumentText;
    std::string conf;
    std::string loader;
    std::int32_t number;
    std::string description;
    std::vector<std::string> eventLog;
    std::string lastLog;
};

class UncaughtRun : public RunTest, public ::testing::WithParamInterface<Uncaught> {};

TEST_P(UncaughtRun, ReportedAndEnds) {
    const Uncaught& c = GetParam();
    InstallKelvane(kKelvane, c.conf);
    p.files.AddFile(kLoader, c.loader);
    p.files.AddFile(kLaunch, kSampleBlock);

    EXPECT_EQ(p.Run(c.argumentText), ExitStatus::UncaughtError);

    ASSERT_TRUE(p.ui.uncaughtError.has_value());
    EXPECT_EQ(p.ui.uncaughtError->first, c.number);
    EXPECT_EQ(p.ui.uncaughtError->second, c.description);
    EXPECT_EQ(p.eventLog.entries, c.eventLog);
    EXPECT_EQ(LastLog(), c.lastLog);
    EXPECT_EQ(LaunchFile(), kSampleBlock);
    EXPECT_TRUE(std::find(p.ui.pauses.begin(), p.ui.pauses.end(), 3000) == p.ui.pauses.end());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, UncaughtRun,
    ::testing::Values(Uncaught{"InstanceNotANumber",
                               kInstall,
                               "INSTANCE=abc\r\nDATADIR=C:\\KelvaneData\r\n",
                               kSampleBlock,
                               -2147221491,
                               "Type mismatch, Step = 3",
                               {"Type mismatch FileLib:GetPathFromConf, Step = 3"},
                               "Found Kelvane program directory at " + kKelvane},
                      Uncaught{"RemovalCutFails",
                               kUninstall,
                               kConf,
                               "[Sample 1.2]\r\n",
                               ErrorNumber::InvalidProcedureCall,
                               "Invalid procedure call or argument",
                               {},
                               "Starting Update to " + kLaunch}),
    kByName);

}  // namespace
}  // namespace brelmont::testing
