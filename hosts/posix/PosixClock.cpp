#include "hosts/posix/PosixClock.h"

#include <ctime>

namespace brelmont::posix {

platform::LocalTime PosixClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    // Universal time only when the local one cannot be had: a stamp in the log beats none.
    if (::localtime_r(&now, &parts) == nullptr) {
        ::gmtime_r(&now, &parts);
    }
    char month[64] = {};
    const std::size_t length = std::strftime(month, sizeof month, "%b", &parts);
    return platform::LocalTime{
        .day = parts.tm_mday,
        .monthAbbrev = std::string(month, length),
        .hour = parts.tm_hour,
        .minute = parts.tm_min,
        .second = parts.tm_sec,
    };
}

}  // namespace brelmont::posix
