#include <gtest/gtest.h>

#include <filesystem>

#include "tests/hosts/posix/FileSystemFixture.h"
#include "tests/testkit/ReplaceAfterRead.h"

namespace brelmont::posix::test {
namespace {

using brelmont::testing::Meanwhile;
using brelmont::testing::ScratchDirectory;

class ReplaceAfterReadTest : public ScratchDirectoryTest {};

TEST_F(ReplaceAfterReadTest, ReplacesOnlyTheFileThatWasRead) {
    std::vector<Meanwhile> cases = brelmont::testing::CommonMeanwhiles();
    cases.push_back({"a link swapped in",
                     [](const ScratchDirectory& s) {
                         WriteBytes(s.At("target"), "target");
                         std::filesystem::remove(s.At("Launch.local"));
                         std::filesystem::create_symlink(s.At("target"), s.At("Launch.local"));
                     },
                     ErrorNumber::PathFileAccessError, "target"});
    brelmont::testing::ExpectReplacesOnlyTheFileThatWasRead(files, *this, cases);
}

TEST_F(ReplaceAfterReadTest, NeverCreatesOverAFileThatAppeared) {
    brelmont::testing::ExpectNeverCreatesOverAFileThatAppeared(files, *this);
}

}  // namespace
}  // namespace brelmont::posix::test
