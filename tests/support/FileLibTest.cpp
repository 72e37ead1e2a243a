#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

using testing::MemoryFileSystem;

// A file system whose files can be found and measured but not read.
class UnreadableFiles : public MemoryFileSystem {
  public:
    std::string ReadFile(const std::string&, std::uint64_t) override {
        throw RuntimeError(ErrorNumber::PermissionDenied);
    }
};

class FileLibTest : public ::testing::Test {
  protected:
    MemoryFileSystem files;
    testing::RecordingEventLog eventLog;
    FileLib lib{files, eventLog};
};

TEST_F(FileLibTest, FileExistsMatchesOrdinaryFilesOnly) {
    files.AddFile("C:\\Kelvane\\Kelvane.conf", "x");
    files.AddFile("C:\\Kelvane\\secret.conf", "x", /*hidden=*/true);
    files.AddDirectory("C:\\Kelvane\\data");
    EXPECT_TRUE(lib.FileExists("C:\\Kelvane\\Kelvane.conf"));
    EXPECT_TRUE(lib.FileExists("C:\\Kelvane\\*.co?f"));
    EXPECT_FALSE(lib.FileExists("C:\\Kelvane\\data"));
    EXPECT_FALSE(lib.FileExists("C:\\Kelvane\\secret.conf"));
    EXPECT_FALSE(lib.FileExists("C:\\Kelvane\\missing.conf"));
    files.FailLookups(ErrorNumber::DeviceUnavailable);
    EXPECT_FALSE(lib.FileExists("C:\\Kelvane\\Kelvane.conf"));
    EXPECT_TRUE(eventLog.entries.empty());
}

TEST_F(FileLibTest, ReadGivesTheBytesAsTheyAreOrTheEmptyText) {
    const std::string bytes = "caf\xE9\x80\xFF\r\nline\r\n";
    files.AddFile("C:\\Data\\Launch.local", bytes);
    files.AddFile("C:\\Data\\empty.local", "");
    EXPECT_EQ(lib.ReadTextFileContents("C:\\Data\\Launch.local"), bytes);
    EXPECT_EQ(lib.ReadTextFileContents("C:\\Data\\empty.local"), "");
    EXPECT_EQ(lib.ReadTextFileContents("C:\\Data\\missing.local"), "");
    EXPECT_EQ(lib.ReadTextFileContents("C:\\Data"), "");
    EXPECT_TRUE(eventLog.entries.empty());

    EXPECT_EQ(lib.WriteTextFileContents("C:\\Data\\copy.local",
                                        lib.ReadTextFileContents("C:\\Data\\Launch.local")),
              -1);
    EXPECT_EQ(files.Contents("C:\\Data\\copy.local"), bytes);
}

// The trap writes "<description> FileLib:ReadTextFileContents, Step = <n>" to the event log and
// raises the caught number plus 0x80040000, or the overflow error when that sum overflows.
TEST_F(FileLibTest, ReadFailuresPassThroughTheTrap) {
    struct Case {
        std::int32_t caught;
        std::int32_t raised;
        std::string entry;
        std::string description;
    };
    const Case cases[] = {
        {52, static_cast<std::int32_t>(0x80040034u),
         "Bad file name or number FileLib:ReadTextFileContents, Step = 1",
         "Bad file name or number, Step = 1"},
        {-262144, INT_MIN,
         "Application-defined or object-defined error FileLib:ReadTextFileContents, Step = 1",
         "Application-defined or object-defined error, Step = 1"},
        {-262145, ErrorNumber::Overflow,
         "Application-defined or object-defined error FileLib:ReadTextFileContents, Step = 1",
         "Overflow"},
    };
    files.AddFile("C:\\Data\\Launch.local", "x");
    for (const Case& c : cases) {
        eventLog.entries.clear();
        files.FailLookups(c.caught);
        try {
            lib.ReadTextFileContents("C:\\Data\\Launch.local");
            ADD_FAILURE() << "no error raised for " << c.caught;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), c.raised);
            EXPECT_EQ(error.Source(), "FileLib:ReadTextFileContents");
            EXPECT_EQ(error.Description(), c.description);
        }
        EXPECT_EQ(eventLog.entries, std::vector<std::string>{c.entry});
        EXPECT_EQ(lib.Step(), 1);
    }
}

TEST(FileLibRead, FailureWhileReadingReportsStepTwo) {
    UnreadableFiles files;
    testing::RecordingEventLog eventLog;
    FileLib lib{files, eventLog};
    files.AddFile("C:\\Data\\Launch.local", "x");
    try {
        lib.ReadTextFileContents("C:\\Data\\Launch.local");
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrorNumber::PermissionDenied + ErrorNumber::ObjectErrorBase);
        EXPECT_EQ(error.Description(), "Permission denied, Step = 2");
    }
    EXPECT_EQ(eventLog.entries,
              std::vector<std::string>{"Permission denied FileLib:ReadTextFileContents, Step = 2"});
}

TEST_F(FileLibTest, WriteReplacesTheWholeFile) {
    files.AddFile("C:\\Data\\Launch.local", "a much longer old text\r\n");
    EXPECT_EQ(lib.WriteTextFileContents("C:\\Data\\Launch.local", "new\r\n"), -1);
    EXPECT_EQ(files.Contents("C:\\Data\\Launch.local"), "new\r\n");
    EXPECT_EQ(lib.WriteTextFileContents("C:\\Data\\created.local", ""), -1);
    EXPECT_EQ(files.Contents("C:\\Data\\created.local"), "");
}

TEST_F(FileLibTest, FailedWriteReturnsTheErrorNumberAndLeavesTheOldFile) {
    files.AddFile("C:\\Data\\Launch.local", "old\r\n");
    files.FailReplaces(ErrorNumber::PermissionDenied);
    EXPECT_EQ(lib.WriteTextFileContents("C:\\Data\\Launch.local", "new\r\n"), 70);
    EXPECT_EQ(files.Contents("C:\\Data\\Launch.local"), "old\r\n");

    EXPECT_EQ(lib.WriteTextFileContents("C:\\Missing\\Launch.local", "new"), 76);
    EXPECT_FALSE(files.Contents("C:\\Missing\\Launch.local"));
    EXPECT_FALSE(files.HasDirectory("C:\\Missing"));
    EXPECT_EQ(lib.WriteTextFileContents("C:\\Data", "new"), 75);
    EXPECT_TRUE(eventLog.entries.empty());
}

}  // namespace
}  // namespace brelmont
