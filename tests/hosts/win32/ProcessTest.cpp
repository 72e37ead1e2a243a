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
        std::vector<const wchar_t*> argv;
        std::string text;
    } cases[] = {
        {{L"Brelmont.exe"}, ""},
        // Quoted by the installer: the runtime has taken the quotation marks away.
        {{L"Brelmont.exe", L"install,C:\\Program Files\\Addon\\Addon.local"},
         "install,C:\\Program Files\\Addon\\Addon.local"},
        // Unquoted: the blank in the path splits it, and the join mends it.
        {{L"Brelmont.exe", L"install,C:\\Program", L"Files\\Addon\\Addon.local"},
         "install,C:\\Program Files\\Addon\\Addon.local"},
        {{L"Brelmont.exe", L"uinstall,", L"", L"x"}, "uinstall,  x"},
        // Names no ANSI code page holds at once arrive whole, in UTF-8.
        {{L"Brelmont.exe",
          L"install,C:\\\u041E\u0431\u0440\u0430\u0437\u0435\u0446 \u898B\u672C\\S.local"},
         "install,C:\\\xD0\x9E\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB5\xD1\x86 "
         "\xE8\xA6\x8B\xE6\x9C\xAC\\S.local"},
        // A lone surrogate, which Windows allows in a name, keeps its three-byte form.
        {{L"Brelmont.exe", L"uinstall,\xD800.local"}, "uinstall,\xED\xA0\x80.local"},
    };
    for (const auto& item : cases) {
        Win32Process process(static_cast<int>(item.argv.size()), item.argv.data());
        EXPECT_EQ(process.ArgumentText(), item.text);
    }
}

TEST(ProcessTest, ProgramDirectoryIsWhereTheProgramFileLies) {
    const wchar_t* argv[] = {L"elsewhere.exe"};
    Win32Process process(1, argv);
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string directory = process.ProgramDirectory();
    EXPECT_EQ(std::filesystem::path(module).parent_path().string(), directory);
    EXPECT_FALSE(directory.ends_with("\\"));
}

}  // namespace
}  // namespace brelmont::win32::test
