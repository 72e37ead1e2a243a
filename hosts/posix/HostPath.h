#pragma once

#include <string>

namespace brelmont::posix {

// The host form of a path text of the program: a leading drive "X:" becomes the Wine prefix's
// dosdevices entry for it (drive C falls back to drive_c), then every "\" becomes "/".
std::string MapHostPath(const std::string& winePrefix, const std::string& path);

}  // namespace brelmont::posix
