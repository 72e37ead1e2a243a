// Which Windows paths an elevated run may be pointed at, read from the text alone; the same on
// every host, since Kelvane.conf can be read anywhere.

#include <gtest/gtest.h>

#include <string>

#include "hosts/common/WindowsPathKind.h"

namespace brelmont::host {
namespace {

struct PathCase {
    std::string path;
    WindowsPathKind kind;
};

class WindowsPathKindTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(WindowsPathKindTest, IsReadFromTheText) {
    EXPECT_EQ(WindowsPathKindOf(GetParam().path), GetParam().kind) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WindowsPathKindTest,
    ::testing::Values(
        PathCase{"C:\\ProgramData\\Kelvane", WindowsPathKind::Drive},
        PathCase{"c:/ProgramData/Kelvane", WindowsPathKind::Drive},
        PathCase{"D:", WindowsPathKind::Drive},
        PathCase{"\\\\?\\C:\\ProgramData\\Kelvane", WindowsPathKind::Drive},
        PathCase{"\\\\server\\share\\Kelvane", WindowsPathKind::Share},
        PathCase{"//server/share/Kelvane", WindowsPathKind::Share},
        PathCase{"\\\\?\\UNC\\server\\share", WindowsPathKind::Share},
        PathCase{"\\\\?\\unc\\server\\share", WindowsPathKind::Share},
        PathCase{"\\\\.\\pipe\\kelvane", WindowsPathKind::Device},
        PathCase{"\\\\.\\C:\\ProgramData", WindowsPathKind::Device},
        PathCase{"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\x", WindowsPathKind::Device},
        PathCase{"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1", WindowsPathKind::Device},
        PathCase{"\\\\?\\C:\\x\\..\\GlobalRoot\\Device\\Null", WindowsPathKind::Device},
        PathCase{"\\??\\C:\\ProgramData", WindowsPathKind::Device},
        PathCase{"//./pipe/kelvane", WindowsPathKind::Device},
        PathCase{"C:ProgramData", WindowsPathKind::Relative},
        PathCase{"\\ProgramData\\Kelvane", WindowsPathKind::Relative},
        PathCase{"Kelvane\\Data", WindowsPathKind::Relative},
        PathCase{"", WindowsPathKind::Relative}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace brelmont::host
