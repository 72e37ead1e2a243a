#include "hosts/posix/PosixServices.h"

#include "hosts/posix/WinePrefix.h"

namespace brelmont::posix {

PosixServices::PosixServices(int argc, const char* const* argv, const char* const* environment)
    : files_(WinePrefixFrom(environment)), process_(argc, argv) {}

}  // namespace brelmont::posix
