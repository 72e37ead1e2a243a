#include "ui/win32/Placement.h"

#include <algorithm>

namespace brelmont::win32 {

void CentreOver(HWND window, HWND owner) {
    RECT frame{};
    if (!::GetWindowRect(window, &frame)) {
        return;
    }
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    RECT around{};
    if (owner == nullptr || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &around)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    }
    const LONG left = std::max<LONG>(0, around.left + (around.right - around.left - width) / 2);
    const LONG top = std::max<LONG>(0, around.top + (around.bottom - around.top - height) / 2);
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brelmont::win32
