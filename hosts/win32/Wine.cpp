#include "hosts/win32/Wine.h"

#include <windows.h>

namespace brelmont::win32 {

bool RunsUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace brelmont::win32
