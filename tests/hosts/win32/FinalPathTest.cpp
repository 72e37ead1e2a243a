// The name an open file comes back with, held against the name the walk meant. Wine shows no
// reparse points, so the walk's decisions are tested over described paths on every host; here,
// what the system itself answers.

#include <windows.h>

#include <cctype>
#include <string>

#include "hosts/win32/FinalPath.h"
#include "hosts/win32/UniqueHandle.h"
#include "support/RuntimeError.h"
#include "tests/hosts/win32/FileSystemFixture.h"
#include "win32/WideText.h"

namespace brelmont::win32::test {
namespace {

class FinalPathTest : public ScratchDirectoryTest {};

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

TEST_F(FinalPathTest, OpenedFileMustCarryTheMeantName) {
    WriteBytes(At("meant.txt"), "x");
    WriteBytes(At("other.txt"), "y");
    const UniqueFile file(::CreateFileW(Wide(At("meant.txt")).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.Valid());
    const struct {
        std::string meant;
        std::int32_t error;
    } cases[] = {
        {At("meant.txt"), 0},
        {Upper(At("meant.txt")), 0},
        {At("other.txt"), ErrorNumber::PermissionDenied},
        {At("missing.txt"), ErrorNumber::PermissionDenied},
        {root, ErrorNumber::PermissionDenied},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(
            ErrorNumberOf([&] { RequireOpenedAs(file.Get(), row.meant, OpenedNameCheck::Always); }),
            row.error)
            << row.meant;
    }
}

TEST_F(FinalPathTest, PlainPathsAreWalkedToThemselves) {
    WriteBytes(At("Launch.local"), "x");
    for (const bool strict : {false, true}) {
        EXPECT_EQ(FinalPathOf(At("Launch.local"), strict), At("Launch.local"));
        EXPECT_EQ(FinalPathOf(At("sub\\..\\New\\Launch.local"), strict), At("New\\Launch.local"));
    }
}

}  // namespace
}  // namespace brelmont::win32::test
