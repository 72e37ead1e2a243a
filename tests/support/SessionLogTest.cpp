#include <gtest/gtest.h>

#include <string>
#include <vector>

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
                             ": tab at end\\x09\r\n" + stamp + ": two\\x0D\\x0Alines\r\n");
    EXPECT_TRUE(ui.boxes.empty());
}

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST_F(SessionLogTest, CutsAnEntryLongerThan4KiBAndEndsItInDots) {
    files.AddDirectory("C:\\Tools\\Brelmont\\logs");
    log.SetupLog();
    const struct {
        std::string text;
        std::string entry;
    } cases[] = {
        {std::string(4096, 'a'), std::string(4096, 'a')},
        {std::string(4097, 'b'), std::string(4093, 'b') + "..."},
        // Escaped whole, a million ESCs would add 4 MB to the log: 1023 fit before the dots.
        {std::string(1'000'000, '\x1B'), Repeat("\\x1B", 1023) + "..."},
    };
    for (const auto& c : cases) {
        const std::size_t before = LogFile().size();
        log.WriteLog(c.text);
        EXPECT_EQ(LogFile().substr(before), "06-Dec 05:48:41: " + c.entry + "\r\n");
    }
}

TEST(EscapingEventLog, WritesEachEntryAsOneEscapedBoundedLine) {
    testing::RecordingEventLog system;
    EscapingEventLog log(system);
    log.WriteError("Permission denied: /home/u/\n<13>forged\x1B[2J is a link");
    log.WriteError(std::string(5000, 'x'));
    EXPECT_EQ(system.entries, (std::vector<std::string>{
                                  "Permission denied: /home/u/\\x0A<13>forged\\x1B[2J is a link",
                                  std::string(4093, 'x') + "..."}));
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
