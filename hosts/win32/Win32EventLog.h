#pragma once

#include "hosts/win32/UniqueHandle.h"
#include "platform/Services.h"

namespace brelmont::win32 {

// Error entries go to the Application event log under the source "Brelmont".
class Win32EventLog final : public platform::EventLog {
  public:
    Win32EventLog();

    void WriteError(const std::string& text) noexcept override;

  private:
    // Empty when the event log would not have us; the entries are then lost, as a trap's report
    // must never fail.
    UniqueEventSource source_;
};

}  // namespace brelmont::win32
