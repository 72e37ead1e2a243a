#pragma once

#include <functional>
#include <string>

namespace brelmont {

// The environment variables through which an installer steers a run.
inline constexpr const char* kUnattendedVariable = "BRELMONT_UNATTENDED";
inline constexpr const char* kKelvaneDirVariable = "BRELMONT_KELVANE_DIR";

// What the caller decided for one run, beyond its command line.
struct RunOptions {
    // Nobody is there to answer (a silent install, a service): no window, box, dialog, browse or
    // pause; boxes become session-log lines and lines on `reportLine`.
    bool unattended = false;
    // Kelvane's program directory in the program's path form, used instead of the search, the
    // pick list and the browse; empty: search as usual.
    std::string kelvaneDirectory;
    // Where an unattended run writes each box it would have shown (the standard error stream,
    // where one is attached); may be empty.
    std::function<void(const std::string&)> reportLine;
    // Why the run shows itself otherwise than its environment asks (the console although a
    // display is set); written to the session log once it is started. Empty: nothing to say.
    std::string frontEndNote;
};

// True when BRELMONT_UNATTENDED's value turns unattended mode on: set, not empty, not "0".
bool UnattendedSwitchOn(const char* value);

// The options the two variables give: `unattended` and `kelvaneDirectory` are their values, null
// where unset.
RunOptions RunOptionsFrom(const char* unattended, const char* kelvaneDirectory);

}  // namespace brelmont
