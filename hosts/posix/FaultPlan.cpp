#include "hosts/posix/FaultPlan.h"

namespace brelmont::posix {

void FaultPlan::Inject(FaultPoint point, int nth, int errnoValue) {
    armed_[static_cast<std::size_t>(point)] = Armed{nth, errnoValue};
}

int FaultPlan::Strike(FaultPoint point) {
    Armed& armed = armed_[static_cast<std::size_t>(point)];
    if (armed.callsLeft <= 0 || --armed.callsLeft > 0) {
        return 0;
    }
    return armed.errnoValue;
}

}  // namespace brelmont::posix
