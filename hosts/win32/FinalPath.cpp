#include "hosts/win32/FinalPath.h"

#include <windows.h>

#include <string_view>

#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32 {
namespace {

// GetFinalPathNameByHandle answers in the long-path forms; the program's texts use the plain
// ones, which every ANSI function accepts as long as the path is short enough.
std::string WithoutLongPathPrefix(std::string path) {
    constexpr std::string_view kUnc = "\\\\?\\UNC\\";
    constexpr std::string_view kLocal = "\\\\?\\";
    if (path.size() >= MAX_PATH) {
        return path;
    }
    if (path.starts_with(kUnc)) {
        return "\\\\" + path.substr(kUnc.size());
    }
    if (path.starts_with(kLocal)) {
        return path.substr(kLocal.size());
    }
    return path;
}

}  // namespace

std::string FinalPathOf(const std::string& path) {
    // No access asked for: only the name is wanted, and an open that others share fully cannot
    // get in anybody's way.
    const UniqueFile file(
        ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) {
        return path;
    }
    std::string final(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleA(
            file.Get(), final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return path;
        }
        if (length < final.size()) {
            final.resize(length);
            return WithoutLongPathPrefix(final);
        }
        final.resize(length + 1);
    }
}

}  // namespace brelmont::win32
