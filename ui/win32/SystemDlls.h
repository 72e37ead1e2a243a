#pragma once

// The common controls and the common dialogs, bound when first needed instead of imported.
// Windows loads a program's imports, and what those load in turn (the theme engine among them),
// before the program runs a line of its own, searching the program's folder first: an installer
// running Brelmont.exe elevated from a folder users can write would load whatever they put
// there. Bound later, they load only after the program has restricted that search to System32.

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>
// clang-format on

namespace brelmont::win32 {

// InitCommonControlsEx of comctl32 (version 6, as the manifest asks); false when it could not
// be had.
bool InitCommonControlsLate(const INITCOMMONCONTROLSEX& controls);

// GetSaveFileNameW of comdlg32. Unlike the function itself, reports a missing comdlg32 through
// `extendedError` (CDERR_INITIALIZATION) so that callers treat it as a failed dialog, not a
// cancelled one; `extendedError` is CommDlgExtendedError's value otherwise.
bool GetSaveFileNameLate(OPENFILENAMEW& dialog, DWORD& extendedError);

}  // namespace brelmont::win32
