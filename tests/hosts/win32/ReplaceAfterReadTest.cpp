#include <gtest/gtest.h>

#include <string>

#include "hosts/win32/Wine.h"
#include "tests/hosts/win32/FileSystemFixture.h"
#include "tests/testkit/ReplaceAfterRead.h"

namespace brelmont::win32::test {
namespace {

class ReplaceAfterReadTest : public ScratchDirectoryTest {};

TEST_F(ReplaceAfterReadTest, ReplacesOnlyTheFileThatWasRead) {
    brelmont::testing::ExpectReplacesOnlyTheFileThatWasRead(files, *this,
                                                            brelmont::testing::CommonMeanwhiles());
}

TEST_F(ReplaceAfterReadTest, NeverCreatesOverAFileThatAppeared) {
    brelmont::testing::ExpectNeverCreatesOverAFileThatAppeared(files, *this);
}

// The session log is never written through a link someone else may have put there.
TEST_F(ReplaceAfterReadTest, TheLogIsNeverAppendedThroughALink) {
    // Wine makes its links as the host's links and opens through them whatever the flags say.
    if (RunsUnderWine()) {
        GTEST_SKIP() << "Wine follows its links even when asked to open the link itself";
    }
    WriteBytes(At("target"), "target");
    if (!::CreateSymbolicLinkA(At("Brelmont.log").c_str(), At("target").c_str(), 0)) {
        GTEST_SKIP() << "no symbolic links here";
    }
    EXPECT_NE(ErrorNumberOf([&] { files.AppendToFile(At("Brelmont.log"), "line\r\n"); }), 0);
    EXPECT_EQ(ReadBytes(At("target")), "target");
}

}  // namespace
}  // namespace brelmont::win32::test
