#pragma once

#include <string>
#include <string_view>

#include "support/RuntimeError.h"

namespace brelmont {

namespace platform {
class FileSystem;
class EventLog;
}  // namespace platform

// Reads an INSTANCE value: a decimal number with optional sign, fraction and exponent and
// surrounding spaces, rounded half to even. Not a number: type mismatch (13); outside the 16-bit
// range: overflow (6).
std::int16_t ReadInstanceNumber(std::string_view value);

// Kelvane's data directory named by the DATADIR key of the configuration file at `path`, or the
// empty text when there is none. Failures pass on through the trap (" FileLib:GetPathFromConf,
// Step = "), with the step reached in trap.Step; a DATADIR value longer than FileLib::kLongestPath
// is such a failure (bad file name, 52) at its own line.
std::string GetPathFromConf(const std::string& path, TrapState& trap, platform::FileSystem& files,
                            platform::EventLog& eventLog);

}  // namespace brelmont
