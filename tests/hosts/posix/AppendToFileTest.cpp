#include <gtest/gtest.h>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

class AppendToFileTest : public ScratchDirectoryTest {};

TEST_F(AppendToFileTest, CreatesThenAppends) {
    files.AppendToFile(At("Brelmont.log"), "first\r\n");
    files.AppendToFile(At("Brelmont.log"), "second\r\n");
    EXPECT_EQ(ReadBytes(At("Brelmont.log")), "first\r\nsecond\r\n");
}

TEST_F(AppendToFileTest, NeverCreatesTheDirectory) {
    EXPECT_EQ(ErrorNumberOf([&] { files.AppendToFile(At("logs/Brelmont.log"), "x"); }), 76);
    EXPECT_TRUE(Entries(root).empty());
}

}  // namespace
}  // namespace brelmont::posix::test
