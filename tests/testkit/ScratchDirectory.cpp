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
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("brelmont-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++made));
    std::filesystem::create_directories(path);
    return TextOf(path);
}

// Windows refuses to delete a read-only file.
void MakeDeletable(const std::string& root) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(PathOf(root), ignored)) {
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
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

std::filesystem::path PathOf(const std::string& text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(text);
#endif
}

std::string TextOf(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

ScratchDirectory::ScratchDirectory() : root(MakeDirectory()) {}

ScratchDirectory::~ScratchDirectory() {
    MakeDeletable(root);
    std::error_code ignored;
    std::filesystem::remove_all(PathOf(root), ignored);
}

std::string ScratchDirectory::At(const std::string& relative) const {
    return root + kSeparator + relative;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(PathOf(path), std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Entries(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathOf(directory))) {
        names.insert(TextOf(entry.path().filename()));
    }
    return names;
}

}  // namespace brelmont::testing
