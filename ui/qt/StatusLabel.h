#pragma once

#include <string_view>

class QLabel;

namespace brelmont::qtui {

// Shows the newest lines of the status text in `label`, each broken to the label's width by the
// front ends' common rule, as many as its height holds.
void ShowStatusText(QLabel& label, std::string_view text);

}  // namespace brelmont::qtui
