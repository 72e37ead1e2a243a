#pragma once

#include <string>

namespace brelmont::posix {

// The host form of a path text of the program: a leading drive "X:" becomes the Wine prefix's
// dosdevices entry for it (drive C falls back to drive_c), then every "\" becomes "/". Below a
// drive, names are looked up as Wine looks them up: one not there as written takes the spelling of
// an entry that differs from it in ASCII case only.
std::string MapHostPath(const std::string& winePrefix, const std::string& path);

// True when the path text starts with a drive "X:" that the prefix does not map. MapHostPath leaves
// such a text as it is, which the system would take as a path relative to the current directory,
// a place the text never meant and whoever made the current directory may have prepared.
bool NamesUnmappedDrive(const std::string& winePrefix, const std::string& path);

// The program's form of an absolute host path, as Wine names it: under a drive of the prefix (a
// link in dosdevices, Z: for the root included, or drive_c for C:) that drive's letter, the
// deepest drive winning, backslashes throughout and no trailing one but a drive root's. Only a
// form that leads back to the same folder is given; where no drive holds it the host path stays
// as it is (without a trailing "/").
std::string MapProgramPath(const std::string& winePrefix, const std::string& hostPath);

}  // namespace brelmont::posix
