#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brelmont {

class FileLib;
namespace platform {
class MessageBoxes;
}

// Launch edit results, as RegisterAddon and RemoveAddon return them. Any other value is the error
// number of a failed write or of a refused rewrite (0: registration reported an error itself).
namespace LaunchResult {
inline constexpr std::int16_t NormalEnding = -1;
inline constexpr std::int16_t Added = -2;
inline constexpr std::int16_t AlreadyRegistered = -3;
inline constexpr std::int16_t Replaced = -4;
inline constexpr std::int16_t Removed = -5;
inline constexpr std::int16_t ErrorReported = 0;
}  // namespace LaunchResult

// What the editors need of the run: the file routines, the message boxes, the status text, the
// loader file named on the command line and the run's step number. AppendReasonLine adds the
// status line that says why the edit was refused or failed, which a run that nobody watches has
// to keep where it can be read afterwards.
struct LaunchEditContext {
    FileLib& fileLib;
    platform::MessageBoxes& boxes;
    std::function<void(const std::string&)> AppendStatusLine;
    std::function<void(const std::string&)> AppendReasonLine;
    const std::string& LoaderFile;
    std::int16_t& Step;
};

// Adds the add-on's block to Launch.local, leaves it when this revision is there, or replaces the
// add-on's old block. Errors are shown in an "Error at Step: " box and give 0.
std::int16_t RegisterAddon(LaunchEditContext& run, const std::string& launchPath);

// Writes Launch.local back without the blocks of the add-on's revision. Read and cut errors pass
// to the caller; a file that cannot be rewritten without joining lines is left as it is, with
// a status line saying why, and gives the invalid-file-format number.
std::int16_t RemoveAddon(LaunchEditContext& run, const std::string& launchPath);

}  // namespace brelmont
