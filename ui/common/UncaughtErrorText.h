#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brelmont::ui {

// How every front end reports a run-time error that no routine caught: "Run-time error 'N':", a
// blank line, then the description, lines ended by `lineEnd`.
std::string UncaughtErrorText(std::int32_t number, std::string_view description,
                              std::string_view lineEnd);

}  // namespace brelmont::ui
