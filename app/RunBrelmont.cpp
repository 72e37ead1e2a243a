#include "app/RunBrelmont.h"

#include "app/frmBrelmont.h"

namespace brelmont {

int RunBrelmont(const platform::Services& services, platform::FrontEnd& ui,
                const RunOptions& options) {
    frmBrelmont window(services, &ui, options);
    return window.Run();
}

int RunBrelmont(const platform::Services& services, platform::FrontEnd& ui) {
    return RunBrelmont(services, ui, RunOptions{});
}

int RunUnattended(const platform::Services& services, const RunOptions& options) {
    RunOptions unattended = options;
    unattended.unattended = true;
    frmBrelmont window(services, nullptr, unattended);
    return window.Run();
}

}  // namespace brelmont
