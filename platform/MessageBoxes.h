#pragma once

// The message boxes the program's logic shows: the only part of the front end that the support
// routines and the configuration reader need.

#include <string>

namespace brelmont::platform {

// Title shown by a message box that has none of its own.
inline constexpr const char* kProgramName = "Brelmont";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // OK box without icon; an empty title shows the program's name.
    virtual void MessageBoxOk(const std::string& text, const std::string& title) = 0;
    // Yes/No box without icon, Yes the default button; true when Yes was pressed.
    virtual bool MessageBoxYesNo(const std::string& text, const std::string& title) = 0;
};

}  // namespace brelmont::platform
