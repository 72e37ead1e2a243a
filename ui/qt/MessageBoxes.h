#pragma once

#include <string>

class QWidget;

namespace brelmont::qtui {

// Places `widget` centred over `owner`, or over the screen when there is no visible owner.
void CentreOver(QWidget& widget, const QWidget* owner);

// Modal boxes without icon; an empty title shows the program's name. `owner` may be null.
void ShowOkBox(QWidget* owner, const std::string& text, const std::string& title);
// Yes is the default button; true when Yes was pressed.
bool AskYesNo(QWidget* owner, const std::string& text, const std::string& title);

}  // namespace brelmont::qtui
