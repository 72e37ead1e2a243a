// Runs that nobody watches: every box, dialog, browse and pause the run would have made is decided
// without a person, written to the session log and the report lines, and the log says how the run
// ended.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/RunOptions.h"
#include "tests/app/RunFixture.h"

namespace brelmont::testing {
namespace {

const std::string kOtherKelvane = "C:\\Program Files (x86)\\Wexo Packet";
const std::string kLoneLfLine =
    "Launch.local left unchanged: some of its lines end in LF alone (save it with CR LF line ends)";

struct Unattended {
    const char* name;
    std::string argumentText;
    std::function<void(RunTest&)> arrange;
    std::string kelvaneDirectory;
    int exit;
    std::vector<std::string> logged;  // in this order among the session log's lines
    std::string launchAfter = "<none>";
};

void PrintTo(const Unattended& c, std::ostream* os) {
    *os << c.name;
}

class UnattendedRun : public RunTest, public ::testing::WithParamInterface<Unattended> {};

TEST_P(UnattendedRun, DecidesWithoutAPersonAndLogsIt) {
    const Unattended& c = GetParam();
    c.arrange(*this);
    std::vector<std::string> reported;
    RunOptions options;
    options.unattended = true;
    options.kelvaneDirectory = c.kelvaneDirectory;
    options.reportLine = [&](const std::string& line) { reported.push_back(line); };

    EXPECT_EQ(p.Run(c.argumentText, options), c.exit);

    // Nothing reached the person's front end: no window, box, dialog, browse or pause.
    EXPECT_TRUE(p.ui.journal.empty());
    EXPECT_TRUE(p.ui.boxes.empty());
    EXPECT_TRUE(p.ui.pauses.empty());
    const std::vector<std::string> log = p.LogMessages();
    auto at = log.begin();
    for (const std::string& line : c.logged) {
        at = std::find(at, log.end(), line);
        EXPECT_NE(at, log.end()) << "not logged in order: " << line << "\n" << p.LogText();
    }
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log.back().starts_with("Ended with exit status " + std::to_string(c.exit) + ": "))
        << log.back();
    // Every box went to the report lines as well as to the log, as one line without anything a
    // terminal would act on.
    const auto hasControl = [](const std::string& line) {
        return std::any_of(line.begin(), line.end(),
                           [](unsigned char c) { return c < 0x20 || c == 0x7F; });
    };
    for (const std::string& line : reported) {
        EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
        EXPECT_FALSE(hasControl(line)) << line;
    }
    for (const std::string& line : log) {
        EXPECT_FALSE(hasControl(line)) << line;
    }
    EXPECT_EQ(LaunchFile(), c.launchAfter);
}

const Unattended kRuns[] = {
    {"OneInstallationIsUsed",
     kInstall,
     [](RunTest& t) { t.InstallKelvane(); },
     "",
     0,
     {"[Integrate with Kelvane] Integrate this Add-on with Kelvane on this PC? /  / Press 'Yes' "
      "to update Kelvane's Launch.Local file. / Press 'No' to run this program standalone. -> Yes",
      "Update outcome: Added this Addon to Launch.Local",
      "Ended with exit status 0: done as asked"},
     "\r\n" + kSampleBlock + "\r\n"},
    {"TwoInstallationsAreNotChosenBetween",
     kInstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.InstallKelvane(kOtherKelvane);
     },
     "",
     2,
     {"Several Kelvane program directories found, none chosen unattended (set "
      "BRELMONT_KELVANE_DIR): " +
          kKelvane + "; " + kOtherKelvane,
      "No Kelvane program directory was found or selected; quiting",
      "Ended with exit status 2: no Kelvane program directory"}},
    {"NoneFoundIsNotBrowsedFor",
     kUninstall,
     [](RunTest&) {},
     "",
     2,
     {"No Kelvane program directory was found or selected; quiting",
      "[Brelmont] No Kelvane program directory was selected.  Verify that / Kelvane is correctly "
      "installed or your selected path is correct."}},
    {"GivenDirectoryIsUsedWithoutSearch",
     kInstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.InstallKelvane(kOtherKelvane);
     },
     kOtherKelvane,
     0,
     {"Found Kelvane program directory at " + kOtherKelvane},
     "\r\n" + kSampleBlock + "\r\n"},
    {"GivenDirectoryWithoutConfEnds",
     kInstall,
     [](RunTest&) {},
     "C:\\Elsewhere",
     3,
     {"Could not find Kelvane.conf in directory C:\\Elsewhere; quiting",
      "Ended with exit status 3: no Kelvane data directory"}},
    // A line feed, a clipboard write and a forged log line in the variable: one escaped line each.
    {"GivenDirectoryWithControlCharactersIsShownEscaped",
     kInstall,
     [](RunTest&) {},
     "C:\\Else\x1B]52;c;ZWNobw==\x07\r\n06-Dec 05:48:41: Update outcome: Added",
     3,
     {"Found Kelvane program directory at C:\\Else\\x1B]52;c;ZWNobw==\\x07\\x0D\\x0A06-Dec "
      "05:48:41: Update outcome: Added",
      "[Launch.local Update] Could not find Kelvane.conf in directory "
      "C:\\Else\\x1B]52;c;ZWNobw==\\x07\\x0D\\x0A06-Dec 05:48:41: Update outcome: Added . / "
      "Please confirm that the path is correct and that Kelvane is correctly installed."}},
    {"GivenDirectoryLongerThanAnyPath",
     kInstall,
     [](RunTest&) {},
     "C:\\" + std::string(40000, 'x'),
     5,
     {"[Brelmont] Run-time error '52': /  / Bad file name or number",
      "Ended with exit status 5: an unexpected run-time error"}},
    {"DataDirectoryLongerThanAnyPath",
     kUninstall,
     [](RunTest& t) {
         t.InstallKelvane(kKelvane, "DATADIR=C:\\" + std::string(40000, 'x') + "\r\n");
     },
     "",
     5,
     {"[Brelmont] Run-time error '-2147221452': /  / Bad file name or number, Step = 3",
      "Ended with exit status 5: an unexpected run-time error"}},
    {"RefusedCommandLine",
     "install",
     [](RunTest&) {},
     "",
     1,
     {"[Brelmont] Only 1 Command Line arguments found.  Format is: / 1. install | uinstall / 2. "
      "loader File Name"}},
    {"UncaughtErrorIsLogged",
     kUninstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.p.files.AddFile(kLoader, "[Sample 1.2]\r\n");
         t.p.files.AddFile(kLaunch, kSampleBlock);
     },
     "",
     5,
     {"[Brelmont] Run-time error '5': /  / Invalid procedure call or argument",
      "Ended with exit status 5: an unexpected run-time error"},
     kSampleBlock},
    // Why an edit did not happen is a status line in the window nobody sees: the log has it, before
    // the box and the outcome.
    {"LoneLfRefusalOfAReplaceIsLogged",
     kInstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.p.files.AddFile(kLaunch, "x\ny\r\n[Sample-1.1]\r\n/ [EOA]\r\n");
     },
     "",
     4,
     {kLoneLfLine,
      "[Brelmont] Error at Step: 204 / >>>RegID=[Sample-1.2], Pos1=7, pos2=8, pos3=12, "
      "AppName=Sample, AppRev=1.2",
      "Update outcome: Result = 0"},
     "x\ny\r\n[Sample-1.1]\r\n/ [EOA]\r\n"},
    {"LoaderWithoutEndLineIsLogged",
     kInstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.p.files.AddFile(kLoader, "[Sample-1.2]\r\nrun=x\r\n");
     },
     "",
     4,
     {"Launch.local left unchanged: the loader file has no end line (/ [EOA]) after its first line",
      "[Brelmont] Error at Step: 203 / >>>RegID=[Sample-1.2], Pos1=1, pos2=8, pos3=12, "
      "AppName=Sample, AppRev=1.2",
      "Update outcome: Result = 0"}},
    {"FailedWriteIsLogged",
     kUninstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.p.files.AddFile(kLaunch, kSampleBlock);
         t.p.files.FailReplaces(ErrorNumber::DiskFull);
     },
     "",
     4,
     {"Writing Launch.local failed (Disk full)", "Update outcome: Result = 61"},
     kSampleBlock},
    // Even the failure's own description: a refused link's target, escaped.
    {"FailedReadIsLogged",
     kInstall,
     [](RunTest& t) {
         t.InstallKelvane();
         t.p.files.AddFile(kLaunch, kOtherBlock);
         t.p.files.FailReadsOf(kLaunch, ErrorNumber::PermissionDenied,
                               "Permission denied: /d/Launch.local\x1B is a link");
     },
     "",
     4,
     {"Reading Launch.local failed (Permission denied: /d/Launch.local\\x1B is a link, Step = 2)",
      "[Brelmont] Error at Step: 201 / >>>RegID=, Pos1=0, pos2=0, pos3=0, AppName=, AppRev=",
      "Update outcome: Result = 0"},
     kOtherBlock},
};

INSTANTIATE_TEST_SUITE_P(Decisions, UnattendedRun, ::testing::ValuesIn(kRuns), kByName);

// A person watching reads the reason in the window; the log stays as it always was.
TEST_F(RunTest, AttendedRefusalIsShownNotLogged) {
    InstallKelvane();
    p.files.AddFile(kLaunch, "x\ny\r\n" + kSampleBlock);
    EXPECT_EQ(p.Run(kUninstall), ExitStatus::EditFailed);
    EXPECT_NE(Status().find(kLoneLfLine + "\r\nResult = 321\r\n"), std::string::npos) << Status();
    const auto log = p.LogMessages();
    EXPECT_EQ(std::find(log.begin(), log.end(), kLoneLfLine), log.end()) << p.LogText();
}

TEST_F(RunTest, UnattendedUncaughtErrorGoesToTheEventLogToo) {
    InstallKelvane();
    p.files.AddFile(kLoader, "[Sample 1.2]\r\n");
    RunOptions options;
    options.unattended = true;
    EXPECT_EQ(p.Run(kUninstall, options), ExitStatus::UncaughtError);
    EXPECT_EQ(p.eventLog.entries,
              std::vector<std::string>{"Run-time error '5': Invalid procedure call or argument"});
}

// A refused link's description quotes its target, which the link's owner wrote: line feeds and
// escape sequences in it reach no log, report line or system-log entry as they stand.
TEST_F(RunTest, LinkTargetInARefusalIsShownEscapedEverywhere) {
    InstallKelvane();
    p.files.AddFile(kLaunch, kSampleBlock);
    p.files.FailReadsOf(kLaunch, ErrorNumber::PermissionDenied,
                        "Permission denied: /home/u/x\n<11>Brelmont: forged\x1B]0;t\x07 is a link");
    std::vector<std::string> reported;
    RunOptions options;
    options.unattended = true;
    options.reportLine = [&](const std::string& line) { reported.push_back(line); };

    EXPECT_EQ(p.Run(kUninstall, options), ExitStatus::UncaughtError);

    const std::string shown =
        "Permission denied: /home/u/x\\x0A<11>Brelmont: forged\\x1B]0;t\\x07 is a link";
    EXPECT_EQ(p.eventLog.entries,
              (std::vector<std::string>{shown + " FileLib:ReadTextFileContents, Step = 2",
                                        "Run-time error '-2147221434': " + shown + ", Step = 2"}));
    const std::string box = "[Brelmont] Run-time error '-2147221434': /  / " + shown + ", Step = 2";
    EXPECT_EQ(reported, std::vector<std::string>{box});
    const auto log = p.LogMessages();
    EXPECT_NE(std::find(log.begin(), log.end(), box), log.end()) << p.LogText();
}

// Without its log nothing is shown and the run goes on; the report lines still say what failed.
TEST_F(RunTest, UnattendedRunWithoutItsLogGoesOn) {
    InstallKelvane();
    p.files.FailAppendsTo("C:\\Tools\\Brelmont\\logs\\Brelmont.log", ErrorNumber::PathNotFound);
    std::vector<std::string> reported;
    RunOptions options;
    options.unattended = true;
    options.reportLine = [&](const std::string& line) { reported.push_back(line); };
    EXPECT_EQ(p.Run(kInstall, options), ExitStatus::Intended);
    EXPECT_TRUE(p.ui.boxes.empty());
    ASSERT_FALSE(reported.empty());
    EXPECT_TRUE(reported.front().starts_with("[Brelmont] SetupLog Error 76")) << reported.front();
    EXPECT_EQ(LaunchFile(), "\r\n" + kSampleBlock + "\r\n");
}

// The directory variable serves attended runs too: no pick list, no browse.
TEST_F(RunTest, GivenDirectoryReplacesThePickList) {
    InstallKelvane();
    InstallKelvane(kOtherKelvane);
    RunOptions options;
    options.kelvaneDirectory = kOtherKelvane;
    EXPECT_EQ(p.Run(kInstall, options), ExitStatus::Intended);
    EXPECT_TRUE(p.ui.pathRequests.empty());
    EXPECT_TRUE(p.ui.browseRequests.empty());
    EXPECT_NE(Status().find("Program Path: " + kOtherKelvane), std::string::npos);
    // Handed to the host, which refuses a folder an elevated run must not be pointed at.
    EXPECT_EQ(p.files.NamedByCaller(), std::vector<std::string>{kOtherKelvane});
}

TEST(UnattendedSwitch, OnForAnyValueButEmptyAndZero) {
    EXPECT_FALSE(UnattendedSwitchOn(nullptr));
    EXPECT_FALSE(UnattendedSwitchOn(""));
    EXPECT_FALSE(UnattendedSwitchOn("0"));
    EXPECT_TRUE(UnattendedSwitchOn("1"));
    EXPECT_TRUE(UnattendedSwitchOn("yes"));
    EXPECT_TRUE(UnattendedSwitchOn("00"));
}

}  // namespace
}  // namespace brelmont::testing
