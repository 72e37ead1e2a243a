#pragma once

#include <windows.h>

#include <cstdint>

namespace brelmont::win32 {

// The classic run-time error number for a Windows error code; the same numbers the POSIX build
// gives for the same conditions.
std::int32_t ErrorNumberFor(DWORD code);

// Throws brelmont::RuntimeError with the mapped number and its standard description.
[[noreturn]] void ThrowWin32Error(DWORD code);

// As ThrowWin32Error for GetLastError(), read before anything else can change it.
[[noreturn]] void ThrowLastError();

}  // namespace brelmont::win32
