// Eight real runs at once against one Launch.local: every edit lands and every block that was
// there before and not removed stays.

#include <gtest/gtest.h>

#include <iostream>

#include "tests/reliability/Sandbox.h"

namespace brelmont::reliability {
namespace {

constexpr int kRuns = 8;
constexpr int kRounds = 3;

std::string AddonBlock(int n) {
    const std::string name = "Addon" + std::to_string(n);
    return "[" + name + "-1.0]\r\nrun=C:\\Addons\\" + name + ".exe\r\n/ [EOA]\r\n";
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

std::size_t NonEmptyLines(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        count += end > start ? 1 : 0;
    }
    return count;
}

// Each round starts the runs back to back on a file big enough for each run to take a while, so
// that they overlap; `removals` of them uninstall blocks that are in the file beforehand.
void RunRound(int round, int removals) {
    SCOPED_TRACE("round " + std::to_string(round));
    Sandbox box;
    std::string before = FillerBlocks(2 << 20) + kOtherBlocks;
    for (int n = 0; n < kRuns; ++n) {
        WriteBytes(box.root / ("Addon" + std::to_string(n) + ".local"), AddonBlock(n));
        if (n < removals) {
            before += AddonBlock(n);
        }
    }
    WriteBytes(box.launch, before);

    std::vector<pid_t> runs;
    for (int n = 0; n < kRuns; ++n) {
        const bool remove = n < removals;
        const std::string loader = (box.root / ("Addon" + std::to_string(n) + ".local")).string();
        runs.push_back(StartProgram(
            box, Start{.arguments = {(remove ? "uinstall," : "install,") + loader},
                       // End of input takes the default answer, Yes.
                       .input = n % 2 == 0 ? std::optional<std::string>("y\n") : std::nullopt,
                       .transcript = "run" + std::to_string(n)}));
    }
    for (int n = 0; n < kRuns; ++n) {
        EXPECT_EQ(WaitProgram(runs[n]), 0) << "run " << n;
    }

    const std::string after = box.Launch();
    for (int n = 0; n < kRuns; ++n) {
        EXPECT_EQ(Occurrences(after, AddonBlock(n)), n < removals ? 0u : 1u) << "Addon" << n;
    }
    // The blocks that were there before and stay come first, untouched, and nothing is added
    // beyond the registered blocks and the empty lines between them.
    const std::string kept = FillerBlocks(2 << 20) + kOtherBlocks;
    EXPECT_TRUE(after.starts_with(kept));
    EXPECT_EQ(NonEmptyLines(after),
              NonEmptyLines(kept) + 3 * static_cast<std::size_t>(kRuns - removals));
}

TEST(ConcurrentRuns, EightRegistrationsAllLand) {
    for (int round = 0; round < kRounds; ++round) {
        RunRound(round, 0);
    }
    std::cout << "runs: " << kRounds * kRuns << " registrations in " << kRounds << " rounds of "
              << kRuns << "\n";
}

TEST(ConcurrentRuns, RegistrationsAndRemovalsAllLand) {
    for (int round = 0; round < kRounds; ++round) {
        RunRound(round, kRuns / 2);
    }
    std::cout << "runs: " << kRounds * kRuns << " (half registrations, half removals) in "
              << kRounds << " rounds of " << kRuns << "\n";
}

}  // namespace
}  // namespace brelmont::reliability
