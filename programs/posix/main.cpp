// The program's entry: host services for this machine, then no front end at all for an unattended
// run, the Qt front end when a display is there and the console front end otherwise.

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/RunBrelmont.h"
#include "app/RunOptions.h"
#include "hosts/posix/PosixServices.h"
#include "ui/console/ConsoleFrontEnd.h"
#ifdef BRELMONT_HAVE_QT
#include "ui/qt/QtMain.h"
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
        return brelmont::qtui::RunWithQtFrontEnd(argc, argv, host.ForRun(), options);
    }
#else
    (void)DisplayAvailable;
#endif
    brelmont::console::ConsoleFrontEnd ui(std::cin, std::cout, std::cerr, host.Files(),
                                          isatty(STDOUT_FILENO) != 0, isatty(STDIN_FILENO) == 0);
    return brelmont::RunBrelmont(host.ForRun(), ui, options);
}
