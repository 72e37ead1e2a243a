#pragma once

#include <windows.h>

#include "support/UniqueResource.h"

namespace brelmont::win32 {

// Window-manager and GDI objects of the front end.
struct FontTraits {
    using Value = HFONT;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::DeleteObject(value); }
};

struct WindowTraits {
    using Value = HWND;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::DestroyWindow(value); }
};

using UniqueFont = UniqueResource<FontTraits>;
using UniqueWindow = UniqueResource<WindowTraits>;

}  // namespace brelmont::win32
