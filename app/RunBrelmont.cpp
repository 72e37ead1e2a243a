#include "app/RunBrelmont.h"

#include "app/frmBrelmont.h"

namespace brelmont {

int RunBrelmont(const platform::Services& services, platform::FrontEnd& ui) {
    frmBrelmont window(services, ui);
    return window.Run();
}

}  // namespace brelmont
