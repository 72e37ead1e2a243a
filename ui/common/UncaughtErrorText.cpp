#include "ui/common/UncaughtErrorText.h"

namespace brelmont::ui {

std::string UncaughtErrorText(std::int32_t number, std::string_view description,
                              std::string_view lineEnd) {
    std::string text = "Run-time error '" + std::to_string(number) + "':";
    text.append(lineEnd).append(lineEnd).append(description);
    return text;
}

}  // namespace brelmont::ui
