#pragma once

namespace brelmont {
struct RunOptions;
namespace platform {
struct Services;
}
}  // namespace brelmont

namespace brelmont::qtui {

// One whole run of the program behind the Qt Widgets front end; returns the process's exit status.
// Qt takes its own options (-platform, -style, ...) out of argc and argv.
int RunWithQtFrontEnd(int& argc, char** argv, const brelmont::platform::Services& services,
                      const brelmont::RunOptions& options);

}  // namespace brelmont::qtui
