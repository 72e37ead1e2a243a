// The Windows program's entry: the Win32 host services and front end, then one run.

// commctrl.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdlib>
#include <optional>
#include <string>

#include "app/RunBrelmont.h"
#include "app/RunOptions.h"
#include "hosts/win32/Win32Services.h"
#include "programs/windows/DllSearch.h"
#include "ui/win32/SystemDlls.h"
#include "ui/win32/Win32FrontEnd.h"
#include "ui/win32/WindowStation.h"
#include "win32/WideText.h"

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

// A variable of the environment in UTF-8, so that a folder named in any script reaches the run
// whole; nothing when it is not set.
std::optional<std::string> Variable(const char* name) {
    const wchar_t* value = ::_wgetenv(brelmont::win32::Wide(name).c_str());
    return value != nullptr ? std::optional(brelmont::win32::Narrow(value)) : std::nullopt;
}

const char* TextOf(const std::optional<std::string>& value) {
    return value ? value->c_str() : nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    // First of all, before any call could load a DLL by name from the program's own folder.
    brelmont::win32::RestrictDllSearchToSystem32();
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    brelmont::win32::InitCommonControlsLate(controls);
    // The C runtime's split of the UTF-16 command line: quotation marks are gone, so a quoted
    // "install,C:\Program Files\Addon\Addon.local" arrives as its two fields, and a name the
    // ANSI code page cannot hold arrives whole.
    brelmont::win32::Win32Services host(__argc, __wargv);
    const std::optional<std::string> unattended = Variable(brelmont::kUnattendedVariable);
    const std::optional<std::string> kelvaneDirectory = Variable(brelmont::kKelvaneDirVariable);
    brelmont::RunOptions options =
        brelmont::RunOptionsFrom(TextOf(unattended), TextOf(kelvaneDirectory));
    // A service or session 0 has no desktop anybody sees: no box there could be answered.
    options.unattended = options.unattended || !brelmont::win32::ProcessStationIsVisible();
    if (options.unattended) {
        options.reportLine = ReportLine;
        return brelmont::RunUnattended(host.ForRun(), options);
    }
    brelmont::win32::Win32FrontEnd ui(instance, host.Files());
    return brelmont::RunBrelmont(host.ForRun(), ui, options);
}
