#include "tests/programs/windows/TestFiles.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace brelmont::win32::test {

namespace fs = std::filesystem;

fs::path TestProgramDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

fs::path ProgramUnderTest() {
    const wchar_t* named = ::_wgetenv(L"BRELMONT_PROGRAM_UNDER_TEST");
    if (named == nullptr || *named == L'\0') {
        return TestProgramDirectory() / "Brelmont.exe";
    }
    return TestProgramDirectory() / fs::path(named);
}

std::optional<std::string> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void RemoveTree(const fs::path& root) {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(root, ignored)) {
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(root, ignored);
}

}  // namespace brelmont::win32::test
