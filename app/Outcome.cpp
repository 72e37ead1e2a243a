#include "app/ExitStatus.h"

namespace brelmont {

std::string OutcomeText(std::int16_t result) {
    switch (result) {
        case -5:
            return "Addon settings removed from Launch.Local";
        case -4:
            return "Updating Launch.Local with the latest Addon setting";
        case -3:
            return "Addon already correctly configured on Launch.Local";
        case -2:
            return "Added this Addon to Launch.Local";
        case -1:
            return "Normal ending";
        default:
            return "Result = " + std::to_string(result);
    }
}

int OutcomeExitStatus(std::int16_t result) {
    return (result >= -5 && result <= -1) ? ExitStatus::Intended : ExitStatus::EditFailed;
}

}  // namespace brelmont
