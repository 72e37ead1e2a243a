#include "ui/win32/WindowStation.h"

namespace brelmont::win32 {

bool StationIsVisible(const USEROBJECTFLAGS& flags) {
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

bool ProcessStationIsVisible() {
    const HWINSTA station = ::GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    if (station == nullptr ||
        !::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) {
        return true;
    }
    return StationIsVisible(flags);
}

}  // namespace brelmont::win32
