#pragma once

#include <windows.h>

#include <string>

namespace brelmont::win32 {

// Boxes without icon; an empty title shows the program's name. Modal to `owner`, or to the
// whole program when there is none.
void ShowOkBox(HWND owner, const std::string& text, const std::string& title);
// Yes is the default button; true when Yes was pressed.
bool AskYesNo(HWND owner, const std::string& text, const std::string& title);

}  // namespace brelmont::win32
