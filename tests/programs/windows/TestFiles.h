#pragma once

// The files around a program run from a test: what a run found and left, read and written
// through the standard library rather than the code under test.

#include <filesystem>
#include <optional>
#include <string>

namespace brelmont::win32::test {

// The folder this test program lies in (Brelmont.exe and the example installers lie beside it).
std::filesystem::path TestProgramDirectory();

// The Brelmont.exe the runs drive: the one named by BRELMONT_PROGRAM_UNDER_TEST (relative to
// this test program's folder, so that no path form of the host has to cross into Windows), else
// the one built beside this test program. CI names the one taken out of the release archive.
std::filesystem::path ProgramUnderTest();

// The whole file, or nothing when there is none.
std::optional<std::string> ReadAll(const std::filesystem::path& path);

// The file holding exactly `bytes`, its folders made first.
void WriteAll(const std::filesystem::path& path, const std::string& bytes);

// The folder and all in it, read-only files too.
void RemoveTree(const std::filesystem::path& root);

}  // namespace brelmont::win32::test
