#include "hosts/win32/Win32Process.h"

#include <windows.h>

#include "hosts/win32/PathParts.h"
#include "platform/ArgumentText.h"
#include "platform/Version.h"

namespace brelmont::win32 {
namespace {

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A full buffer may hold a cut name: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

Win32Process::Win32Process(int argc, const char* const* argv)
    : argumentText_(platform::JoinArguments(argc, argv)),
      programDirectory_(SplitPath(ModulePath()).directory) {}

platform::Version Win32Process::ProgramVersion() {
    return platform::Version{
        .major = BRELMONT_VERSION_MAJOR,
        .minor = BRELMONT_VERSION_MINOR,
        .revision = BRELMONT_VERSION_PATCH,
    };
}

}  // namespace brelmont::win32
