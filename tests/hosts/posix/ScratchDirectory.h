#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "hosts/posix/PosixFileSystem.h"
#include "support/RuntimeError.h"

namespace brelmont::posix::test {

// A fresh directory under /tmp for each test, removed with all it holds afterwards. The checks
// read the disk through the standard library, not through the code under test.
class ScratchDirectoryTest : public ::testing::Test {
  protected:
    ScratchDirectoryTest() : root(MakeDirectory()) {}
    ~ScratchDirectoryTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    std::string At(const std::string& relative) const { return root + "/" + relative; }

    const std::string root;
    PosixFileSystem files{"/nonexistent-prefix"};

  private:
    static std::string MakeDirectory() {
        std::string pattern = "/tmp/brelmont-posix-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : throw std::runtime_error("mkdtemp");
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

inline mode_t PermissionBits(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// The error number `action` throws, or 0 when it throws no RuntimeError.
template <typename Action>
std::int32_t ErrorNumberOf(Action&& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace brelmont::posix::test
