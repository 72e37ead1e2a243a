#pragma once

#include "platform/Services.h"

namespace brelmont::win32 {

// Local time, with the month's abbreviated name from the user's locale.
class Win32Clock final : public platform::Clock {
  public:
    platform::LocalTime Now() override;
};

}  // namespace brelmont::win32
