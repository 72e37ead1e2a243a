#pragma once

#include <array>
#include <string>
#include <vector>

namespace brelmont {

namespace platform {
class FileSystem;
class MessageBoxes;
}  // namespace platform

// Kelvane's install locations, searched in this order.
inline constexpr std::array<const char*, 4> kKelvaneInstallLocations{
    "C:\\Program Files\\Kelvane",
    "C:\\Program Files (x86)\\Kelvane",
    "C:\\Program Files\\Wexo Packet",
    "C:\\Program Files (x86)\\Wexo Packet",
};

// The install locations that hold Kelvane.conf, joined by CR LF (no CR LF after the last); the
// empty text when none does. A failure of the lookup passes to the caller.
std::string FindKelvaneDirs(platform::FileSystem& files);

// Number of entries of a candidate-path list: its pieces split at CR LF, 0 for the empty text.
int CountCandidates(const std::string& list);

// The entries the path choice dialog offers for a candidate-path list: its lines trimmed of
// spaces, without empty lines and lines that begin with "/", in their order.
std::vector<std::string> FillPathList(const std::string& programPathList,
                                      platform::MessageBoxes& boxes);

}  // namespace brelmont
