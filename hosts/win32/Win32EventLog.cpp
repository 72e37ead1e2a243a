#include "hosts/win32/Win32EventLog.h"

namespace brelmont::win32 {

Win32EventLog::Win32EventLog() : source_(::RegisterEventSourceA(nullptr, "Brelmont")) {}

void Win32EventLog::WriteError(const std::string& text) noexcept {
    if (!source_.Valid()) {
        return;
    }
    const char* strings[] = {text.c_str()};
    ::ReportEventA(source_.Get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
}

}  // namespace brelmont::win32
