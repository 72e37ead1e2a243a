#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace brelmont::win32 {

// The text for the status label `label` drawn in `font`: the newest lines of the status text,
// each broken to the label's width by the front ends' common rule, as many as its height holds.
// The label's own word break never breaks inside a word, and leaves an empty line where it tries.
std::wstring StatusLabelText(HWND label, HFONT font, std::string_view text);

}  // namespace brelmont::win32
