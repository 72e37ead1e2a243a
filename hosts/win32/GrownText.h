#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace brelmont::win32 {

// The text a Win32 call writes into a buffer it may find too small: `fill(buffer, size)` answers
// the text's length when it fitted; the size it needs, or (GetModuleFileName) the whole buffer's
// size with the text cut, when it did not; or 0 on failure (then the text is empty, and
// GetLastError still holds the reason).
std::wstring GrownText(const std::function<DWORD(wchar_t*, DWORD)>& fill);

}  // namespace brelmont::win32
