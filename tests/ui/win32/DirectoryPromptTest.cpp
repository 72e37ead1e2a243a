#include <gtest/gtest.h>

#include <string>

#include "ui/win32/DirectoryPrompt.h"

namespace brelmont::win32::test {
namespace {

TEST(DirectoryPromptTest, TheFolderOfTheChosenNameHasNoTrailingSeparatorButAtARoot) {
    const struct {
        std::string path;
        std::size_t nameOffset;
        std::string folder;
    } cases[] = {
        {"C:\\Program Files\\Kelvane\\Select Kelvane program directory", 25,
         "C:\\Program Files\\Kelvane"},
        {"C:\\Select Kelvane program directory", 3, "C:\\"},
        // A folder typed into the name box: all of it is the folder.
        {"C:\\Program Files (x86)\\Kelvane\\", 31, "C:\\Program Files (x86)\\Kelvane"},
        {"\\\\server\\share\\Kelvane\\x", 23, "\\\\server\\share\\Kelvane"},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(DirectoryOfChosenFile(item.path, item.nameOffset), item.folder) << item.path;
    }
}

}  // namespace
}  // namespace brelmont::win32::test
