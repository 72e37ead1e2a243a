#pragma once

namespace brelmont {

namespace platform {
struct Services;
class FrontEnd;
}  // namespace platform

struct RunOptions;

// One whole run of the program behind the given front end; returns the process's exit status.
int RunBrelmont(const platform::Services& services, platform::FrontEnd& ui,
                const RunOptions& options);
int RunBrelmont(const platform::Services& services, platform::FrontEnd& ui);

// One whole unattended run (options.unattended set): nothing is shown and nobody is asked.
int RunUnattended(const platform::Services& services, const RunOptions& options);

}  // namespace brelmont
