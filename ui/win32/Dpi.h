#pragma once

#include <windows.h>

namespace brelmont::win32 {

// The layout is designed at 96 dots per inch (100 %); every length is scaled from there.
inline constexpr UINT kDesignDpi = 96;

// The dots per inch `window` is shown at: its monitor's where Windows tells (Windows 10 1607 and
// later, the program being per-monitor aware), else the screen's.
UINT DpiOf(HWND window);

// A length of the 96-DPI layout at `dpi`.
inline int Scaled(int length, UINT dpi) {
    return ::MulDiv(length, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The frame around a client area of the given size for a window of this style at `dpi`.
SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD extendedStyle, UINT dpi);

}  // namespace brelmont::win32
