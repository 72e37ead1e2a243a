#include "hosts/win32/GrownText.h"

#include <algorithm>

namespace brelmont::win32 {

std::wstring GrownText(const std::function<DWORD(wchar_t*, DWORD)>& fill) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) {
            return {};
        }
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(std::max<std::size_t>(length + 1, text.size() * 2));
    }
}

}  // namespace brelmont::win32
