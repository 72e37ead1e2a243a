// The Windows program's entry: the Win32 host services and front end, then one run.

// commctrl.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdlib>
#include <string>

#include "app/RunBrelmont.h"
#include "app/RunOptions.h"
#include "hosts/win32/Win32Services.h"
#include "ui/win32/Win32FrontEnd.h"
#include "ui/win32/WindowStation.h"

namespace {

// A line on the standard error stream, where the caller attached one (a GUI program has none of
// its own).
void ReportLine(const std::string& line) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The C runtime's split of the command line: quotation marks are gone, so a quoted
    // "install,C:\Program Files\Addon\Addon.local" arrives as its two fields.
    brelmont::win32::Win32Services host(__argc, __argv);
    brelmont::RunOptions options = brelmont::RunOptionsFrom(
        std::getenv(brelmont::kUnattendedVariable), std::getenv(brelmont::kKelvaneDirVariable));
    // A service or session 0 has no desktop anybody sees: no box there could be answered.
    options.unattended = options.unattended || !brelmont::win32::ProcessStationIsVisible();
    if (options.unattended) {
        options.reportLine = ReportLine;
        return brelmont::RunUnattended(host.ForRun(), options);
    }
    brelmont::win32::Win32FrontEnd ui(instance, host.Files());
    return brelmont::RunBrelmont(host.ForRun(), ui, options);
}
