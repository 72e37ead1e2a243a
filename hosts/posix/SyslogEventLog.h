#pragma once

#include "platform/Services.h"

namespace brelmont::posix {

// Error entries go to the system log under the ident "Brelmont".
class SyslogEventLog final : public platform::EventLog {
  public:
    SyslogEventLog();
    SyslogEventLog(const SyslogEventLog&) = delete;
    SyslogEventLog& operator=(const SyslogEventLog&) = delete;
    ~SyslogEventLog() override;

    void WriteError(const std::string& text) noexcept override;
};

}  // namespace brelmont::posix
