#pragma once

// The program's texts are 8-bit strings in the system code page with CR LF line ends; Qt wants
// QString and shows a bare CR as a glyph.

#include <QString>
#include <string>
#include <string_view>

namespace brelmont::qtui {

QString ToQString(std::string_view text);
std::string ToStdString(const QString& text);

// The text as a plain-text widget should show it: CR LF and a lone CR each end a line.
QString ToDisplayText(std::string_view text);

}  // namespace brelmont::qtui
