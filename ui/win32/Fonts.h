#pragma once

#include <string>

#include "ui/win32/UniqueWindowObjects.h"

namespace brelmont::win32 {

// A regular-weight font of the named face at a size in points, scaled for the screen. Windows
// picks its nearest face when the named one is missing.
UniqueFont MakeFont(const std::string& face, double points);

}  // namespace brelmont::win32
