#pragma once

#include <string>

namespace brelmont::posix {

// The path a write through `hostPath` lands on: symbolic links naming the file itself are
// followed, also to a target that does not exist yet (the write then creates it).
std::string FinalPathOf(const std::string& hostPath);

}  // namespace brelmont::posix
