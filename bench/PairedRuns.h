#pragma once

#include <filesystem>

namespace brelmont::bench {

// Small unattended runs (an install and an uninstall on a 4 KiB Launch.local) of two builds of the
// program, `pairs` times each, alternating which goes first so that both meet the same load;
// prints the medians of the whole processes' wall time, processor time and peak memory, and how
// `program` compares with `baseline`.
void PrintPairedUnattendedRuns(const std::filesystem::path& program,
                               const std::filesystem::path& baseline, int pairs);

}  // namespace brelmont::bench
