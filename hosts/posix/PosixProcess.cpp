#include "hosts/posix/PosixProcess.h"

#include <unistd.h>

#include <climits>

#include "hosts/posix/PathParts.h"
#include "platform/ArgumentText.h"
#include "platform/Version.h"

namespace brelmont::posix {
namespace {

std::string ExecutablePath(const char* argv0) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        return std::string(target, static_cast<std::size_t>(length));
    }
    // Without /proc (a chroot, another kernel) the name the program was started by is the best
    // there is; taken now, before the working directory can change.
    const std::string started = argv0 != nullptr ? argv0 : "";
    if (started.starts_with('/')) {
        return started;
    }
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) + "/" + started : started;
}

}  // namespace

PosixProcess::PosixProcess(int argc, const char* const* argv)
    : argumentText_(platform::JoinArguments(argc, argv)),
      programDirectory_(SplitPath(ExecutablePath(argc > 0 ? argv[0] : nullptr)).directory) {}

platform::Version PosixProcess::ProgramVersion() {
    return platform::Version{
        .major = BRELMONT_VERSION_MAJOR,
        .minor = BRELMONT_VERSION_MINOR,
        .revision = BRELMONT_VERSION_PATCH,
    };
}

}  // namespace brelmont::posix
