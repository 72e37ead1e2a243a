#pragma once

// The program's texts at the Win32 API: the wide (W) functions take and give UTF-16, the program
// keeps UTF-8 inside, so a name the system's ANSI code page cannot hold still reaches the file
// system and the screen whole.

#include <string>
#include <string_view>

namespace brelmont::win32 {

// Bytes that are no UTF-8 (a file's contents shown in a status line) are read in the system's
// ANSI code page, as the ANSI functions read every text.
std::wstring Wide(std::string_view text);

std::string Narrow(std::wstring_view text);

// A whole text in the system's ANSI code page (a double-byte one included), in UTF-8.
std::string Utf8FromAnsi(std::string_view bytes);

}  // namespace brelmont::win32
