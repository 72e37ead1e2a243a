#pragma once

#include <windows.h>

#include <string>

#include "ui/win32/UniqueWindowObjects.h"

namespace brelmont::win32 {

// A regular-weight font of the named face at a size in points, for a window at `dpi` dots per
// inch. Windows picks its nearest face when the named one is missing.
UniqueFont MakeFont(const wchar_t* face, double points, UINT dpi);

}  // namespace brelmont::win32
