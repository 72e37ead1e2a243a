#pragma once

#include <string>

namespace brelmont::posix {

// The Wine prefix the drives are looked up in: $WINEPREFIX, else $HOME/.wine (Wine's own rule).
// `environment` is a null-terminated "NAME=value" array as main() or environ give it.
std::string WinePrefixFrom(const char* const* environment);

}  // namespace brelmont::posix
