#include "ui/win32/Fonts.h"

#include <windows.h>

#include <cmath>

namespace brelmont::win32 {

UniqueFont MakeFont(const wchar_t* face, double points, UINT dpi) {
    // A negative height asks for the character height, which is what a point size measures.
    const int height = -static_cast<int>(std::lround(points * dpi / 72.0));
    return UniqueFont(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
}

}  // namespace brelmont::win32
