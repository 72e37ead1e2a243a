#include "programs/windows/DllSearch.h"

#include <windows.h>

namespace brelmont::win32 {
namespace {

using SetDefaultDirectories = BOOL(WINAPI*)(DWORD flags);

}  // namespace

bool RestrictDllSearchToSystem32() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    // Looked up at run time: a Windows 7 without the update has no such function, and a static
    // import of it would keep the program from starting there at all.
    const auto set = kernel == nullptr
                         ? nullptr
                         : reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void*>(
                               ::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr && set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE) {
        return true;
    }
    ::SetDllDirectoryW(L"");
    return false;
}

}  // namespace brelmont::win32
