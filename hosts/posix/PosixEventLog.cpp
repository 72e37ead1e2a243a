#include "hosts/posix/PosixEventLog.h"

#include <syslog.h>

namespace brelmont::posix {

PosixEventLog::PosixEventLog() {
    ::openlog("Brelmont", LOG_PID, LOG_USER);
}

PosixEventLog::~PosixEventLog() {
    ::closelog();
}

void PosixEventLog::WriteError(const std::string& text) noexcept {
    // Through "%s": an entry's text may hold a '%' from a path or a description.
    ::syslog(LOG_ERR, "%s", text.c_str());
}

}  // namespace brelmont::posix
