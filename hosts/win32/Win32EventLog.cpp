#include "hosts/win32/Win32EventLog.h"

#include "win32/WideText.h"

namespace brelmont::win32 {

Win32EventLog::Win32EventLog() : source_(::RegisterEventSourceW(nullptr, L"Brelmont")) {}

void Win32EventLog::WriteError(const std::string& text) noexcept {
    if (!source_.Valid()) {
        return;
    }
    const std::wstring wide = Wide(text);
    const wchar_t* strings[] = {wide.c_str()};
    ::ReportEventW(source_.Get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
}

}  // namespace brelmont::win32
