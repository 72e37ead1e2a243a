#include "win32/WideText.h"

#include <windows.h>

#include "support/Utf16.h"

namespace brelmont::win32 {
namespace {

// Windows keeps UTF-16 in wchar_t.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

void AppendAnsi(std::string_view bytes, std::u16string& into) {
    if (bytes.empty()) {
        return;
    }
    const int count = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
    if (length <= 0) {
        into.append(bytes.size(), u'\uFFFD');
        return;
    }
    const std::size_t start = into.size();
    into.resize(start + static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count,
                          reinterpret_cast<wchar_t*>(into.data() + start), length);
}

}  // namespace

std::wstring Wide(std::string_view text) {
    const std::u16string units = Utf16FromUtf8(text, AppendAnsi);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view text) {
    return Utf8FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

std::string Utf8FromAnsi(std::string_view bytes) {
    std::u16string units;
    AppendAnsi(bytes, units);
    return Utf8FromUtf16(units);
}

}  // namespace brelmont::win32
