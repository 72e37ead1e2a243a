#pragma once

#include <string>

namespace brelmont::platform {

// The command line's argument text from an argument list as the C runtime split it: the arguments
// after the program's name, joined with single spaces. Quotation marks are gone by then, so an
// installer may quote a loader path that holds blanks.
inline std::string JoinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

}  // namespace brelmont::platform
