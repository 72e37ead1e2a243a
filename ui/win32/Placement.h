#pragma once

#include <windows.h>

namespace brelmont::win32 {

// Moves `window`, at its present size, to the centre of `owner`'s frame, or of the screen's work
// area when there is no owner; never past the top or left edge of the screen.
void CentreOver(HWND window, HWND owner);

}  // namespace brelmont::win32
