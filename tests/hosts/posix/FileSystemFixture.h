#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "hosts/posix/PosixFileSystem.h"
#include "tests/testkit/ScratchDirectory.h"

namespace brelmont::posix::test {

using brelmont::testing::Entries;
using brelmont::testing::ErrorNumberOf;
using brelmont::testing::ReadBytes;
using brelmont::testing::WriteBytes;

// The POSIX file services over a scratch directory of each test's own.
class ScratchDirectoryTest : public ::testing::Test, public brelmont::testing::ScratchDirectory {
  protected:
    PosixFileSystem files{"/nonexistent-prefix"};
};

inline mode_t PermissionBits(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

}  // namespace brelmont::posix::test
