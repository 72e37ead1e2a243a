#pragma once

// The list of programs a Windows test bundle runs, one per line:
//   name|program, relative to the list|time bound in seconds|VARIABLE=value|...
// Blank lines and lines starting with "#" are left out.

#include <optional>
#include <string>
#include <vector>

namespace brelmont::bundle {

struct BundleEntry {
    std::string name;
    std::string program;
    int seconds = 0;
    std::vector<std::pair<std::string, std::string>> environment;
};

// The entry of one line; none for a line that is blank, a remark, or not in the form above.
std::optional<BundleEntry> ParseBundleLine(const std::string& line);

// What a finished program's JUnit report says was skipped: "Suite.Test: reason" each.
std::vector<std::string> SkippedTests(const std::string& report);

// What a finished program's JUnit report says failed, as "Suite.Test" each: a gtest filter's names.
std::vector<std::string> FailedTests(const std::string& report);

// A JUnit report for a program that ended without one (killed at its time bound, crashed).
std::string FailureReport(const std::string& name, const std::string& why);

}  // namespace brelmont::bundle
