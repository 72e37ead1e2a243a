#include "hosts/win32/Win32Clock.h"

#include <windows.h>

#include <array>

#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// Only when the locale gives no name: a stamp in the log beats none.
constexpr std::array kEnglishMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

platform::LocalTime Win32Clock::Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t month[80] = {};
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &now, L"MMM", month, 80);
    return platform::LocalTime{
        .day = now.wDay,
        .monthAbbrev = length > 1
                           ? Narrow(std::wstring_view(month, static_cast<std::size_t>(length - 1)))
                           : std::string(kEnglishMonths.at((now.wMonth + 11) % 12)),
        .hour = now.wHour,
        .minute = now.wMinute,
        .second = now.wSecond,
    };
}

}  // namespace brelmont::win32
