#pragma once

#include "platform/Services.h"

namespace brelmont::posix {

// Local time with the month name of the LC_TIME locale in force.
class PosixClock final : public platform::Clock {
  public:
    platform::LocalTime Now() override;
};

}  // namespace brelmont::posix
