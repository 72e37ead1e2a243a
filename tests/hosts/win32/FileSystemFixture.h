#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "hosts/win32/Win32FileSystem.h"
#include "tests/testkit/ScratchDirectory.h"

namespace brelmont::win32::test {

using brelmont::testing::Entries;
using brelmont::testing::ErrorNumberOf;
using brelmont::testing::PathOf;
using brelmont::testing::ReadBytes;
using brelmont::testing::WriteBytes;

// The Win32 file services over a scratch directory of each test's own.
class ScratchDirectoryTest : public ::testing::Test, public brelmont::testing::ScratchDirectory {
  protected:
    Win32FileSystem files;
};

}  // namespace brelmont::win32::test
