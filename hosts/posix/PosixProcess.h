#pragma once

#include <string>

#include "platform/Services.h"

namespace brelmont::posix {

// The running program as main() received it.
class PosixProcess final : public platform::Process {
  public:
    PosixProcess(int argc, const char* const* argv);

    std::string ArgumentText() override { return argumentText_; }
    std::string ProgramDirectory() override { return programDirectory_; }
    platform::Version ProgramVersion() override;

  private:
    std::string argumentText_;
    std::string programDirectory_;
};

}  // namespace brelmont::posix
