// The program's entry: host services for this machine, then no front end at all for an unattended
// run, the Qt front end when a display is there and its module loads, and the console front end
// otherwise.

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "app/RunBrelmont.h"
#include "app/RunOptions.h"
#include "hosts/posix/PosixServices.h"
#include "support/StringLib.h"
#include "ui/console/ConsoleFrontEnd.h"
#ifdef BRELMONT_HAVE_QT
#include "ui/qtloader/ModuleUnavailable.h"
#include "ui/qtloader/QtFrontEndLoader.h"
#endif

namespace {

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

#ifdef BRELMONT_HAVE_QT
// The Qt front end, or none when its module or Qt cannot be loaded: a display on a machine
// without a usable Qt (a headless server, a partial install) still gets its run, on the console.
// Standard error says why there is no window, and `options` takes the reason to the log.
std::optional<brelmont::qtloader::LoadedQtFrontEnd> LoadQtFrontEnd(
    brelmont::posix::PosixServices& host, int& argc, char** argv, brelmont::RunOptions& options) {
    brelmont::platform::Process& process = host.ForRun().process;
    try {
        return std::optional<brelmont::qtloader::LoadedQtFrontEnd>(
            std::in_place, process.ProgramDirectory(), process.ProgramVersion().Text(), argc, argv,
            host.Files());
    } catch (const brelmont::qtloader::ModuleUnavailable& unavailable) {
        options.frontEndNote = "No window, the console is used: the Qt front end was not loaded (" +
                               std::string(unavailable.what()) + ")";
        std::cerr << brelmont::LogEntryText(options.frontEndNote) << std::endl;
        return std::nullopt;
    }
}
#endif

}  // namespace

extern char** environ;

int main(int argc, char** argv) {
    // Month names in the session log follow the user's locale; numbers stay in the C locale.
    std::setlocale(LC_TIME, "");
    brelmont::posix::PosixServices host(argc, argv, environ);
    brelmont::RunOptions options = brelmont::RunOptionsFrom(
        std::getenv(brelmont::kUnattendedVariable), std::getenv(brelmont::kKelvaneDirVariable));
    if (options.unattended) {
        // No window, even with a display, and standard input is never read: the caller waits on
        // nobody.
        options.reportLine = [](const std::string& line) { std::cerr << line << std::endl; };
        return brelmont::RunUnattended(host.ForRun(), options);
    }
#ifdef BRELMONT_HAVE_QT
    if (DisplayAvailable()) {
        if (std::optional<brelmont::qtloader::LoadedQtFrontEnd> qt =
                LoadQtFrontEnd(host, argc, argv, options)) {
            return brelmont::RunBrelmont(host.ForRun(), qt->FrontEnd(), options);
        }
    }
#else
    (void)DisplayAvailable;
#endif
    brelmont::console::ConsoleFrontEnd ui(std::cin, std::cout, std::cerr, host.Files(),
                                          isatty(STDOUT_FILENO) != 0, isatty(STDIN_FILENO) == 0);
    return brelmont::RunBrelmont(host.ForRun(), ui, options);
}
