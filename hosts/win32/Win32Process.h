#pragma once

#include <string>

#include "platform/Services.h"

namespace brelmont::win32 {

// The running program: its arguments as the C runtime split them, its file's directory, its
// version.
class Win32Process final : public platform::Process {
  public:
    // `argv` as the C runtime hands it over to a wide entry point (__argc, __wargv): the command
    // line split, quotation marks taken away, in UTF-16.
    Win32Process(int argc, const wchar_t* const* argv);

    // The arguments joined by single blanks, so that an installer may quote the whole argument
    // or leave blanks in a path unquoted alike.
    std::string ArgumentText() override { return argumentText_; }
    std::string ProgramDirectory() override { return programDirectory_; }
    platform::Version ProgramVersion() override;

  private:
    std::string argumentText_;
    std::string programDirectory_;
};

}  // namespace brelmont::win32
