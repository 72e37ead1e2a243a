#include <gtest/gtest.h>

#include <string>

#include "support/SessionLog.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

const std::string kRule(51, '-');
const std::string kLogPath = "C:\\Tools\\Brelmont\\logs\\Brelmont.log";

class SessionLogTest : public ::testing::Test {
  protected:
    SessionLogTest() {
        log.LogPath = kLogPath;
        log.AppVersion = "3.3.6";
    }
    std::string LogFile() const { return files.Contents(kLogPath).value_or("<none>"); }

    testing::MemoryFileSystem files;
    testing::FixedClock clock;
    testing::ScriptedFrontEnd ui;
    SessionLog log{files, clock, ui};
};

TEST(FormatTimeStamp, PadsEveryFieldToTwoDigits) {
    EXPECT_EQ(FormatTimeStamp({6, "Dec", 5, 48, 41}), "06-Dec 05:48:41");
    EXPECT_EQ(FormatTimeStamp({31, "Jan", 23, 0, 9}), "31-Jan 23:00:09");
}

TEST_F(SessionLogTest, AppendsTheBannerAndTrimmedMessageLines) {
    const std::string earlier = "earlier session\r\n";
    files.AddFile(kLogPath, earlier);
    log.WriteLog("before setup");
    log.SetupLog();
    EXPECT_TRUE(log.LogEnabled);
    log.WriteLog("Starting Launch.local update process");
    log.WriteLog("");
    log.WriteLog("   ");
    log.WriteLog("  Normal ending  ");
    log.WriteLog("tab at end\t");
    log.WriteLog("two\r\nlines");
    const std::string stamp = "06-Dec 05:48:41";
    EXPECT_EQ(LogFile(), earlier + kRule + "\r\n" + stamp + ": Brelmont 3.3.6\r\n" + kRule +
                             "\r\n" + stamp + ": Starting Launch.local update process\r\n" + stamp +
                             ":\r\n" + stamp + ":\r\n" + stamp + ": Normal ending\r\n" + stamp +
                             ": tab at end\t\r\n" + stamp + ": two\r\nlines\r\n");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SessionLogTest, MissingLogsDirectoryLeavesLoggingOffAndCreatesNothing) {
    files.AddDirectory("C:\\Tools\\Brelmont");
    log.SetupLog();
    EXPECT_FALSE(log.LogEnabled);
    log.WriteLog("not written");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, "ok");
    EXPECT_EQ(ui.boxes[0].title, "");
    EXPECT_EQ(ui.boxes[0].text, "SetupLog Error 76, Path not foundCould not start Session logging");
    EXPECT_FALSE(files.HasDirectory("C:\\Tools\\Brelmont\\logs"));
    EXPECT_EQ(files.FileCount(), 0u);
}

TEST_F(SessionLogTest, LogMadeUnwritableMidRunIsReportedOnceAndKeepsItsLines) {
    files.AddDirectory("C:\\Tools\\Brelmont\\logs");
    log.SetupLog();
    log.WriteLog("first");
    const std::string before = LogFile();
    files.FailAppendsTo(kLogPath, 70);
    log.WriteLog("second");
    log.WriteLog("third");
    EXPECT_FALSE(log.LogEnabled);
    EXPECT_EQ(LogFile(), before);
    EXPECT_NE(before.find("06-Dec 05:48:41: first\r\n"), std::string::npos);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "SetupLog Error 70, Permission denied; Could not write to the session log file; "
              "disabled session logging");
}

}  // namespace
}  // namespace brelmont
