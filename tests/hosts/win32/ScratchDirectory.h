#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "support/RuntimeError.h"

namespace brelmont::win32::test {

// A fresh directory under the user's temporary folder for each test, removed with all it holds
// afterwards. The checks read the disk through the standard library, not through the code under
// test.
class ScratchDirectoryTest : public ::testing::Test {
  protected:
    ScratchDirectoryTest() : root(MakeDirectory()) {}
    ~ScratchDirectoryTest() override {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ignored)) {
            ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        std::filesystem::remove_all(root, ignored);
    }

    std::string At(const std::string& relative) const { return root + "\\" + relative; }

    const std::string root;

  private:
    static std::string MakeDirectory() {
        static int made = 0;
        char temporary[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temporary);
        const std::string path = std::string(temporary) + "brelmont-win32-" +
                                 std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(++made);
        std::filesystem::create_directories(path);
        return path;
    }
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::set<std::string> Entries(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// The run-time error number `action` throws, or 0 when it throws none.
template <typename Action>
std::int32_t ErrorOf(Action&& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace brelmont::win32::test
