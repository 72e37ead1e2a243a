#include "ui/win32/SystemDlls.h"

namespace brelmont::win32 {
namespace {

// A function of a system DLL, or null. The DLL stays loaded for the rest of the run, as an
// import would; by name alone, so that the manifest's choice of comctl32 version 6 holds.
template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = ::LoadLibraryW(dll);
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(
                                   reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using GetSaveName = BOOL(WINAPI*)(OPENFILENAMEW*);
using ExtendedError = DWORD(WINAPI*)();

}  // namespace

bool InitCommonControlsLate(const INITCOMMONCONTROLSEX& controls) {
    const auto init = SystemFunction<InitControls>(L"comctl32.dll", "InitCommonControlsEx");
    return init != nullptr && init(&controls) != FALSE;
}

bool GetSaveFileNameLate(OPENFILENAMEW& dialog, DWORD& extendedError) {
    const auto show = SystemFunction<GetSaveName>(L"comdlg32.dll", "GetSaveFileNameW");
    const auto error = SystemFunction<ExtendedError>(L"comdlg32.dll", "CommDlgExtendedError");
    if (show == nullptr || error == nullptr) {
        extendedError = CDERR_INITIALIZATION;
        return false;
    }
    if (show(&dialog) != FALSE) {
        extendedError = 0;
        return true;
    }
    extendedError = error();
    return false;
}

}  // namespace brelmont::win32
