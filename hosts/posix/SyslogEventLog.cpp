#include "hosts/posix/SyslogEventLog.h"

#include <syslog.h>

namespace brelmont::posix {

SyslogEventLog::SyslogEventLog() {
    ::openlog("Brelmont", LOG_PID, LOG_USER);
}

SyslogEventLog::~SyslogEventLog() {
    ::closelog();
}

void SyslogEventLog::WriteError(const std::string& text) noexcept {
    // Through "%s": an entry's text may hold a '%' from a path or a description.
    ::syslog(LOG_ERR, "%s", text.c_str());
}

}  // namespace brelmont::posix
