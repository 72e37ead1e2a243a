#include "hosts/win32/FileMatch.h"

#include <windows.h>

#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/UniqueHandle.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool IsAbsence(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
           code == ERROR_NO_MORE_FILES;
}

}  // namespace

bool OrdinaryFileMatches(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    WIN32_FIND_DATAW found{};
    const UniqueFind find(::FindFirstFileW(Wide(path).c_str(), &found));
    if (!find.Valid()) {
        const DWORD code = ::GetLastError();
        if (IsAbsence(code)) {
            return false;
        }
        ThrowWin32Error(code);
    }
    do {
        if ((found.dwFileAttributes & kNotOrdinary) == 0) {
            return true;
        }
    } while (::FindNextFileW(find.Get(), &found));
    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        ThrowWin32Error(code);
    }
    return false;
}

}  // namespace brelmont::win32
