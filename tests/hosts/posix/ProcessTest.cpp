#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "hosts/posix/PosixProcess.h"
#include "hosts/posix/WinePrefix.h"

namespace brelmont::posix::test {
namespace {

TEST(PosixProcessTest, JoinsArgumentsWithSingleSpaces) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"brelmont"}, ""},
        {{"brelmont", "install,C:\\addon.dll"}, "install,C:\\addon.dll"},
        {{"brelmont", "install,", "C:\\Program", "Files\\addon.dll"},
         "install, C:\\Program Files\\addon.dll"},
        {{"brelmont", "", "x"}, " x"},
    };
    for (const auto& [argv, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(PosixProcess(static_cast<int>(argv.size()), argv.data()).ArgumentText(),
                  expected);
    }
}

TEST(PosixProcessTest, ProgramDirectoryIsTheExecutables) {
    const char* argv[] = {"elsewhere/brelmont"};
    EXPECT_EQ(PosixProcess(1, argv).ProgramDirectory(),
              std::filesystem::canonical(BRELMONT_TEST_BINARY_DIR).string());
}

TEST(PosixProcessTest, WinePrefixComesFromTheEnvironment) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"HOME=/home/ann", "WINEPREFIX=/opt/wine", nullptr}, "/opt/wine"},
        {{"HOME=/home/ann", nullptr}, "/home/ann/.wine"},
        {{"WINEPREFIX=", "HOME=/home/ann", nullptr}, "/home/ann/.wine"},
        {{"WINEPREFIXES=/x", "HOMER=/y", "HOME=/home/ann", nullptr}, "/home/ann/.wine"},
    };
    for (const auto& [environment, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(WinePrefixFrom(environment.data()), expected);
    }
}

}  // namespace
}  // namespace brelmont::posix::test
