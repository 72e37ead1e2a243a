#pragma once

#include "platform/Services.h"

namespace brelmont::posix {

// Error entries go to the system log under the ident "Brelmont".
class PosixEventLog final : public platform::EventLog {
  public:
    PosixEventLog();
    PosixEventLog(const PosixEventLog&) = delete;
    PosixEventLog& operator=(const PosixEventLog&) = delete;
    ~PosixEventLog() override;

    void WriteError(const std::string& text) noexcept override;
};

}  // namespace brelmont::posix
