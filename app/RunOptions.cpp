#include "app/RunOptions.h"

#include <string_view>

namespace brelmont {

bool UnattendedSwitchOn(const char* value) {
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

RunOptions RunOptionsFrom(const char* unattended, const char* kelvaneDirectory) {
    RunOptions options;
    options.unattended = UnattendedSwitchOn(unattended);
    if (kelvaneDirectory != nullptr) {
        options.kelvaneDirectory = kelvaneDirectory;
    }
    return options;
}

}  // namespace brelmont
