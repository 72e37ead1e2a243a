#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "hosts/posix/UniqueFd.h"

namespace brelmont::qtloader {

// Where the module may lie: beside the program (the build tree), then in the install's library
// folder, found from the program's own directory. Never through a search path: whoever sets the
// environment of a run that may be root's must not choose the code it runs.
std::vector<std::string> ModuleCandidates(const std::string& programDirectory,
                                          const std::string& moduleFileName);

// Why a module file with this owner and mode may not be loaded into the program; empty when it
// may. The program may run as root, so only root and the program's own owner are trusted with its
// code, and only while nobody else may write the file.
std::string ModuleFileRefusal(uid_t owner, mode_t mode, uid_t programOwner);

// The owner of the program's file; root when it cannot be told.
uid_t ProgramOwner();

struct TrustedModule {
    posix::UniqueFd file;
    std::string path;
};

// The first candidate that exists, open and checked: to be loaded through the descriptor, so that
// the file checked is the file loaded. Throws ModuleUnavailable when none exists or when the one
// found is refused.
TrustedModule OpenTrustedModule(const std::vector<std::string>& candidates, uid_t programOwner);

}  // namespace brelmont::qtloader
