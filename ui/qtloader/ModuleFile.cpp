#include "ui/qtloader/ModuleFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "ui/qtloader/ModuleUnavailable.h"

namespace brelmont::qtloader {

std::vector<std::string> ModuleCandidates(const std::string& programDirectory,
                                          const std::string& moduleFileName) {
    return {programDirectory + "/" + moduleFileName,
            programDirectory + "/" BRELMONT_MODULE_DIR_FROM_PROGRAM "/" + moduleFileName};
}

std::string ModuleFileRefusal(uid_t owner, mode_t mode, uid_t programOwner) {
    if (!S_ISREG(mode)) {
        return "is not a regular file";
    }
    if (owner != 0 && owner != programOwner) {
        return "belongs to user " + std::to_string(owner) +
               ", neither root nor the program's owner";
    }
    if ((mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "may be written by others than its owner";
    }
    return {};
}

uid_t ProgramOwner() {
    struct stat program {};
    return ::stat("/proc/self/exe", &program) == 0 ? program.st_uid : 0;
}

TrustedModule OpenTrustedModule(const std::vector<std::string>& candidates, uid_t programOwner) {
    for (const std::string& path : candidates) {
        // Not blocking: a FIFO under the module's name must not hold the run.
        posix::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!file.Valid()) {
            if (errno == ENOENT || errno == ENOTDIR) {
                continue;
            }
            throw ModuleUnavailable(path + ": " + std::strerror(errno));
        }
        struct stat status {};
        if (::fstat(file.Get(), &status) != 0) {
            throw ModuleUnavailable(path + ": " + std::strerror(errno));
        }
        if (const std::string refusal =
                ModuleFileRefusal(status.st_uid, status.st_mode, programOwner);
            !refusal.empty()) {
            throw ModuleUnavailable(path + " " + refusal);
        }
        return {std::move(file), path};
    }
    std::string looked;
    for (const std::string& path : candidates) {
        looked += (looked.empty() ? "" : " or ") + path;
    }
    throw ModuleUnavailable("no file at " + looked);
}

}  // namespace brelmont::qtloader
