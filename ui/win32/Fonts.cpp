#include "ui/win32/Fonts.h"

#include <windows.h>

#include <cmath>

namespace brelmont::win32 {
namespace {

int ScreenDotsPerInch() {
    const HDC screen = ::GetDC(nullptr);
    const int dots = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return dots > 0 ? dots : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UniqueFont MakeFont(const std::string& face, double points) {
    // A negative height asks for the character height, which is what a point size measures.
    const int height = -static_cast<int>(std::lround(points * ScreenDotsPerInch() / 72.0));
    return UniqueFont(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str()));
}

}  // namespace brelmont::win32
