#include <gtest/gtest.h>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

class ReadFileTest : public ScratchDirectoryTest {};

TEST_F(ReadFileTest, ReadsTheAskedLengthOrFailsWithItsNumber) {
    WriteBytes(At("Kelvane.conf"), "DATADIR=x\r\n");
    std::filesystem::create_directory(At("data"));
    EXPECT_EQ(files.ReadFile(At("Kelvane.conf"), 7), "DATADIR");
    const struct {
        const char* path;
        std::uint64_t length;
        std::int32_t readNumber, lengthNumber;
    } cases[] = {
        {"Kelvane.conf", 12, 62, 0},
        {"Kelvane.conf", UINT64_MAX, 62, 0},
        {"data", 0, 75, 75},
        {"absent.conf", 1, 53, 53},
        {"missing/Kelvane.conf", 1, 76, 76},
        {"Kelvane.conf/x", 1, 76, 76},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ErrorNumberOf([&] { files.ReadFile(At(c.path), c.length); }), c.readNumber);
        EXPECT_EQ(ErrorNumberOf([&] { files.FileLength(At(c.path)); }), c.lengthNumber);
    }
}

}  // namespace
}  // namespace brelmont::posix::test
