#pragma once

// Text at the edge of a host whose file and window functions take UTF-16 (Windows). Inside the
// program paths are UTF-8. Windows also holds names that are not well-formed UTF-16 (a lone
// surrogate); such a unit travels inside as the three bytes UTF-8's pattern gives it (the WTF-8
// convention), so every name the host hands over goes back to it unchanged.

#include <functional>
#include <string>
#include <string_view>

namespace brelmont {

// Appends its own reading of bytes that begin no sequence the decoder accepts: one maximal run of
// them at a time.
using UndecodedBytes = std::function<void(std::string_view bytes, std::u16string& into)>;

// Without `undecodable`, each such byte becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text, const UndecodedBytes& undecodable = {});

std::string Utf8FromUtf16(std::u16string_view units);

// Well-formed UTF-8 as the standard defines it: no overlong form, no surrogate, nothing past
// U+10FFFF, no sequence cut short.
bool IsUtf8(std::string_view text);

}  // namespace brelmont
