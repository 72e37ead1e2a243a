#pragma once

#include <stdexcept>

namespace brelmont::qtloader {

// Why the Qt front end's module cannot serve this run; what() is the reason, to be shown escaped
// (it may quote a path).
class ModuleUnavailable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace brelmont::qtloader
