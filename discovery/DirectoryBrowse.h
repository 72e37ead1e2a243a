#pragma once

#include <string>

namespace brelmont {

namespace platform {
class FileSystem;
class Dialogs;
}  // namespace platform

// Lets the user point at Kelvane's program directory by hand: the directory as a full path, or
// the empty text when the user gave up. Every failure is skipped; the working directory is the
// same afterwards.
std::string GetKelvaneDirName(platform::Dialogs& ui, platform::FileSystem& files);

}  // namespace brelmont
