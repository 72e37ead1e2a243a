#include "app/ExitStatus.h"
#include "launchfile/LaunchEditor.h"

namespace brelmont {

std::string OutcomeText(std::int16_t result) {
    switch (result) {
        case LaunchResult::Removed:
            return "Addon settings removed from Launch.Local";
        case LaunchResult::Replaced:
            return "Updating Launch.Local with the latest Addon setting";
        case LaunchResult::AlreadyRegistered:
            return "Addon already correctly configured on Launch.Local";
        case LaunchResult::Added:
            return "Added this Addon to Launch.Local";
        case LaunchResult::NormalEnding:
            return "Normal ending";
        default:
            return "Result = " + std::to_string(result);
    }
}

std::string ExitStatusMeaning(int exitStatus) {
    switch (exitStatus) {
        case ExitStatus::Intended:
            return "done as asked";
        case ExitStatus::CommandLineRefused:
            return "command line refused";
        case ExitStatus::NoProgramDirectory:
            return "no Kelvane program directory";
        case ExitStatus::NoDataDirectory:
            return "no Kelvane data directory";
        case ExitStatus::EditFailed:
            return "the edit of Launch.local failed";
        case ExitStatus::UncaughtError:
            return "an unexpected run-time error";
        case ExitStatus::ClosedByUser:
            return "the window was closed before the outcome";
        default:
            return "unknown";
    }
}

int OutcomeExitStatus(std::int16_t result) {
    // The results from "removed" up to "normal ending" are the edits that did what was asked.
    return (result >= LaunchResult::Removed && result <= LaunchResult::NormalEnding)
               ? ExitStatus::Intended
               : ExitStatus::EditFailed;
}

}  // namespace brelmont
