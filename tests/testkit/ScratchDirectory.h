#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "support/RuntimeError.h"

namespace brelmont::testing {

// A fresh directory under the system's temporary folder, removed with all it holds when the
// object goes (read-only files too). The checks read the disk through the standard library, not
// through the code under test.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // A path below the directory, with the host's separator.
    std::string At(const std::string& relative) const;

    const std::string root;
};

// A path of the program's texts for the standard library: UTF-8 on Windows, as the program keeps
// its paths there; bytes as they stand elsewhere.
std::filesystem::path PathOf(const std::string& text);
std::string TextOf(const std::filesystem::path& path);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
// The names in a directory.
std::set<std::string> Entries(const std::string& directory);

// The error number `action` throws, or 0 when it throws no RuntimeError.
template <typename Action>
std::int32_t ErrorNumberOf(Action&& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace brelmont::testing
