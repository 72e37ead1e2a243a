#include "hosts/win32/Win32Process.h"

#include <windows.h>

#include <string>
#include <vector>

#include "hosts/win32/GrownText.h"
#include "hosts/win32/PathParts.h"
#include "platform/ArgumentText.h"
#include "platform/Version.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

std::string ModulePath() {
    return Narrow(GrownText(
        [](wchar_t* text, DWORD size) { return ::GetModuleFileNameW(nullptr, text, size); }));
}

std::string ArgumentTextOf(int argc, const wchar_t* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(Narrow(argv[i]));
    }
    std::vector<const char*> texts;
    for (const std::string& argument : arguments) {
        texts.push_back(argument.c_str());
    }
    return platform::JoinArguments(argc, texts.data());
}

}  // namespace

Win32Process::Win32Process(int argc, const wchar_t* const* argv)
    : argumentText_(ArgumentTextOf(argc, argv)),
      programDirectory_(SplitPath(ModulePath()).directory) {}

platform::Version Win32Process::ProgramVersion() {
    return platform::Version{
        .major = BRELMONT_VERSION_MAJOR,
        .minor = BRELMONT_VERSION_MINOR,
        .revision = BRELMONT_VERSION_PATCH,
    };
}

}  // namespace brelmont::win32
