#include "tests/testkit/ScratchDirectory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace brelmont::testing {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';

std::string MakeDirectory() {
    static int made = 0;
    char temporary[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temporary);
    const std::string path = std::string(temporary) + "brelmont-test-" +
                             std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++made);
    std::filesystem::create_directories(path);
    return path;
}

// Windows refuses to delete a read-only file.
void MakeDeletable(const std::string& root) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ignored)) {
        ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}
#else
constexpr char kSeparator = '/';

std::string MakeDirectory() {
    std::string pattern = "/tmp/brelmont-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp");
    }
    return pattern;
}

void MakeDeletable(const std::string&) {}
#endif

}  // namespace

ScratchDirectory::ScratchDirectory() : root(MakeDirectory()) {}

ScratchDirectory::~ScratchDirectory() {
    MakeDeletable(root);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchDirectory::At(const std::string& relative) const {
    return root + kSeparator + relative;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Entries(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

}  // namespace brelmont::testing
