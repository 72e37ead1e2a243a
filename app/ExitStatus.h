#pragma once

#include <cstdint>
#include <string>

namespace brelmont {

// How a run ended, as the process's exit status tells the installer that called it.
namespace ExitStatus {
inline constexpr int Intended = 0;            // edited, already there, or "No" at the prompt
inline constexpr int CommandLineRefused = 1;  // usage message, or no such loader file
inline constexpr int NoProgramDirectory = 2;
inline constexpr int NoDataDirectory = 3;
inline constexpr int EditFailed = 4;  // a "Result = " outcome
inline constexpr int UncaughtError = 5;
inline constexpr int ClosedByUser = 6;  // the window was closed before the outcome
}  // namespace ExitStatus

// What an exit status means, as an unattended run's last log line says it.
std::string ExitStatusMeaning(int exitStatus);

// The outcome text the driver shows and logs for a Launch edit result.
std::string OutcomeText(std::int16_t result);

// The exit status that goes with a Launch edit result.
int OutcomeExitStatus(std::int16_t result);

}  // namespace brelmont
