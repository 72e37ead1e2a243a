#include "bench/PairedRuns.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/ProgramRuns.h"

namespace brelmont::bench {
namespace {

namespace fs = std::filesystem;

// The target: a build that can show a window starts a console run like one that cannot.
constexpr double kRatioLimit = 1.2;

struct PairFigures {
    std::vector<double> wallSeconds;
    std::vector<double> cpuSeconds;
    std::vector<double> peakMiB;
    int failures = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One install and one uninstall: the round trip an add-on's installer and uninstaller make.
void RunPair(ProgramWorld& world, PairFigures& figures) {
    world.SetLaunch(LaunchText(4 * 1024, SampleBlock::None));
    const RunFigures install = world.Run("install", false, true);
    const RunFigures uninstall = world.Run("uinstall", false, true);
    figures.failures += (install.exitStatus != 0) + (uninstall.exitStatus != 0);
    figures.wallSeconds.push_back(install.wallSeconds + uninstall.wallSeconds);
    figures.cpuSeconds.push_back(install.cpuSeconds + uninstall.cpuSeconds);
    figures.peakMiB.push_back(static_cast<double>(std::max(install.peakKiB, uninstall.peakKiB)) /
                              1024.0);
}

void PrintRow(const char* name, const PairFigures& figures) {
    std::printf("  %-9s wall %7.1f ms, cpu %7.1f ms, peak %6.1f MiB%s\n", name,
                1000 * Median(figures.wallSeconds), 1000 * Median(figures.cpuSeconds),
                Median(figures.peakMiB),
                figures.failures == 0 ? "" : "  (RUNS FAILED: figures mean nothing)");
}

}  // namespace

void PrintPairedUnattendedRuns(const fs::path& program, const fs::path& baseline, int pairs) {
    const ScratchDirectory programScratch("brelmont-bench-paired");
    const ScratchDirectory baselineScratch("brelmont-bench-baseline");
    ProgramWorld programWorld(programScratch.Path(), program);
    ProgramWorld baselineWorld(baselineScratch.Path(), baseline);
    PairFigures programFigures;
    PairFigures baselineFigures;
    for (int pair = 0; pair < pairs; ++pair) {
        if (pair % 2 == 0) {
            RunPair(programWorld, programFigures);
            RunPair(baselineWorld, baselineFigures);
        } else {
            RunPair(baselineWorld, baselineFigures);
            RunPair(programWorld, programFigures);
        }
    }
    std::printf(
        "\nSmall unattended runs, paired (BRELMONT_UNATTENDED=1, an install and an uninstall on a "
        "4 KiB Launch.local, whole processes; medians of %d pairs, alternating which goes first)\n"
        "  program:  %s\n  baseline: %s\n",
        pairs, program.c_str(), baseline.c_str());
    PrintRow("program", programFigures);
    PrintRow("baseline", baselineFigures);
    const double wallRatio =
        Median(programFigures.wallSeconds) / Median(baselineFigures.wallSeconds);
    const double peakRatio = Median(programFigures.peakMiB) / Median(baselineFigures.peakMiB);
    const double cpuRatio = Median(programFigures.cpuSeconds) / Median(baselineFigures.cpuSeconds);
    const bool held = programFigures.failures == 0 && baselineFigures.failures == 0 &&
                      wallRatio <= kRatioLimit && peakRatio <= kRatioLimit;
    std::printf(
        "  program / baseline: wall %.2f x, cpu %.2f x, peak %.2f x; target within %.1f x "
        "in wall time and peak memory: %s\n",
        wallRatio, cpuRatio, peakRatio, kRatioLimit, held ? "held" : "MISSED");
}

}  // namespace brelmont::bench
