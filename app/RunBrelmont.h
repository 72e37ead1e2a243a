#pragma once

namespace brelmont {

namespace platform {
struct Services;
class FrontEnd;
}  // namespace platform

// One whole run of the program behind the given front end; returns the process's exit status.
int RunBrelmont(const platform::Services& services, platform::FrontEnd& ui);

}  // namespace brelmont
