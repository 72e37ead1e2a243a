#pragma once

#include <windows.h>

namespace brelmont::win32 {

// True when the flags of a window station say a person can see it (WSF_VISIBLE). A service's or
// session 0's station is not visible: no box there could ever be answered.
bool StationIsVisible(const USEROBJECTFLAGS& flags);

// Whether this process's window station is visible; true where that cannot be told, so a run is
// never made unattended by mistake.
bool ProcessStationIsVisible();

}  // namespace brelmont::win32
