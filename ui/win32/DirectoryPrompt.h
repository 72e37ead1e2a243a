#pragma once

#include <windows.h>

#include <string>

#include "platform/FrontEnd.h"

namespace brelmont::win32 {

// The directory choice through the save-file common dialog: its filter matches no file, and the
// folder in which the user presses Save is the answer (a full path without trailing separator).
// Empty when the user cancels; throws brelmont::RuntimeError when the dialog cannot be shown.
std::string BrowseForDirectory(HWND owner, const platform::BrowseRequest& request,
                               const std::string& initialDirectory);

// The directory part of a full file path as the dialog returns it, the name starting at
// `nameOffset`: "C:\Kelvane\x" gives "C:\Kelvane", "C:\x" gives "C:\".
std::string DirectoryOfChosenFile(const std::string& path, std::size_t nameOffset);

}  // namespace brelmont::win32
