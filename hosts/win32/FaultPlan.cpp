#include "hosts/win32/FaultPlan.h"

namespace brelmont::win32 {

void FaultPlan::Inject(FaultPoint point, int nth, DWORD code) {
    armed_[static_cast<std::size_t>(point)] = Armed{nth, code};
}

DWORD FaultPlan::Strike(FaultPoint point) {
    Armed& armed = armed_[static_cast<std::size_t>(point)];
    if (armed.callsLeft <= 0 || --armed.callsLeft > 0) {
        return 0;
    }
    return armed.code;
}

}  // namespace brelmont::win32
