// The Windows program's entry: the Win32 host services and front end, then one run.

// commctrl.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdlib>

#include "app/RunBrelmont.h"
#include "hosts/win32/Win32Services.h"
#include "ui/win32/Win32FrontEnd.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The C runtime's split of the command line: quotation marks are gone, so a quoted
    // "install,C:\Program Files\Addon\Addon.local" arrives as its two fields.
    brelmont::win32::Win32Services host(__argc, __argv);
    brelmont::win32::Win32FrontEnd ui(instance, host.Files());
    return brelmont::RunBrelmont(host.ForRun(), ui);
}
