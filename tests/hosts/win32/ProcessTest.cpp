#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hosts/win32/Win32Process.h"

namespace brelmont::win32::test {
namespace {

TEST(ProcessTest, ArgumentsAreJoinedBySingleBlanks) {
    const struct {
        std::vector<const char*> argv;
        std::string text;
    } cases[] = {
        {{"Brelmont.exe"}, ""},
        // Quoted by the installer: the runtime has taken the quotation marks away.
        {{"Brelmont.exe", "install,C:\\Program Files\\Addon\\Addon.local"},
         "install,C:\\Program Files\\Addon\\Addon.local"},
        // Unquoted: the blank in the path splits it, and the join mends it.
        {{"Brelmont.exe", "install,C:\\Program", "Files\\Addon\\Addon.local"},
         "install,C:\\Program Files\\Addon\\Addon.local"},
        {{"Brelmont.exe", "uinstall,", "", "x"}, "uinstall,  x"},
    };
    for (const auto& item : cases) {
        Win32Process process(static_cast<int>(item.argv.size()), item.argv.data());
        EXPECT_EQ(process.ArgumentText(), item.text);
    }
}

TEST(ProcessTest, ProgramDirectoryIsWhereTheProgramFileLies) {
    const char* argv[] = {"elsewhere.exe"};
    Win32Process process(1, argv);
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string directory = process.ProgramDirectory();
    EXPECT_EQ(std::filesystem::path(module).parent_path().string(), directory);
    EXPECT_FALSE(directory.ends_with("\\"));
}

}  // namespace
}  // namespace brelmont::win32::test
