#pragma once

#include <string>

class QWidget;

namespace brelmont::qtui {

// Modal boxes without icon; an empty title shows the program's name. `owner` may be null.
void ShowOkBox(QWidget* owner, const std::string& text, const std::string& title);
// Yes is the default button; true when Yes was pressed.
bool AskYesNo(QWidget* owner, const std::string& text, const std::string& title);

}  // namespace brelmont::qtui
