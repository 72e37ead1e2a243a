#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace brelmont::qtui {

struct DisplayProbe {
    bool opens = false;
    std::string reason;  // why not: Qt's first complaint, or what ended the trial
};

// Whether Qt can open its platform (the display) for a program started with `arguments`, tried in
// a child process. Qt ends the whole process when it cannot (a DISPLAY left over from another
// session, a root shell without the user's X authority, a display over a dead ssh link), and a run
// must fall back to the console instead of ending unlogged. A trial still running after `bound`
// is stopped and counts as a display that does not open.
DisplayProbe ProbeDisplay(const std::vector<std::string>& arguments,
                          std::chrono::milliseconds bound);

}  // namespace brelmont::qtui
