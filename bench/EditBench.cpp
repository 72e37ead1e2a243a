// Brelmont's edits of Launch.local against the physical floor of any edit (the whole file read,
// then written to a new file and flushed), on real files through the real POSIX host services,
// then whole runs of the program for its peak memory and for the processor time its pauses cost.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/utsname.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/PairedRuns.h"
#include "bench/ProgramRuns.h"
#include "discovery/ConfReader.h"
#include "hosts/posix/PosixFileSystem.h"
#include "launchfile/LaunchEditor.h"
#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"

namespace brelmont::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;
constexpr std::size_t kSizes[] = {4 * kKiB, 256 * kKiB, 4 * kMiB, 64 * kMiB};
constexpr std::size_t kLargest = 64 * kMiB;
constexpr std::size_t kGrowthBase = 4 * kMiB;
constexpr std::size_t kConfSize = 1 * kMiB;

constexpr double kFloorRatioLimit = 2.0;
constexpr double kGrowthLow = 12.0;
constexpr double kGrowthHigh = 20.0;
constexpr double kPeakMemoryLimit = 4.0;
constexpr double kIdleCpuLimitPercent = 5.0;
constexpr double kGuiPauseSeconds = 4.5;

class SilentBoxes final : public platform::MessageBoxes {
  public:
    void MessageBoxOk(const std::string&, const std::string&) override {}
    bool MessageBoxYesNo(const std::string&, const std::string&) override { return true; }
};

class NoEventLog final : public platform::EventLog {
  public:
    void WriteError(const std::string&) override {}
};

struct EditCase {
    const char* name;
    bool install;
    SampleBlock sample;
    std::int16_t expected;
};

const EditCase kEdits[] = {
    {"register_add", true, SampleBlock::None, LaunchResult::Added},
    {"register_update", true, SampleBlock::OlderRevision, LaunchResult::Replaced},
    {"register_found", true, SampleBlock::SameRevision, LaunchResult::AlreadyRegistered},
    {"remove", false, SampleBlock::SameRevision, LaunchResult::Removed},
};

// The scratch directory, the loader file and the generated texts, shared by all benchmarks; texts
// are made once, since every repetition asks for them again.
class Workspace {
  public:
    Workspace() : scratch_("brelmont-bench") { WriteFlushed(Loader(), kLoaderText); }
    fs::path Root() const { return scratch_.Path(); }
    fs::path Loader() const { return scratch_.Path() / "Sample.local"; }
    fs::path Directory(const std::string& name) const {
        const fs::path directory = scratch_.Path() / name;
        fs::create_directories(directory);
        return directory;
    }
    const std::string& Text(SampleBlock sample, std::size_t size) {
        std::string& text = texts_[{sample, size}];
        if (text.empty()) {
            text = LaunchText(size, sample);
        }
        return text;
    }

  private:
    ScratchDirectory scratch_;
    std::map<std::pair<SampleBlock, std::size_t>, std::string> texts_;
};

Workspace& TheWorkspace() {
    static Workspace workspace;
    return workspace;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void EditBenchmark(benchmark::State& state, const EditCase& edit, std::size_t size) {
    Workspace& workspace = TheWorkspace();
    const fs::path launch =
        workspace.Directory(std::string(edit.name) + "-" + SizeName(size)) / "Launch.local";
    const std::string& original = workspace.Text(edit.sample, size);
    // No Wine prefix: the benchmark's paths are host paths already.
    posix::PosixFileSystem files("");
    NoEventLog eventLog;
    SilentBoxes boxes;
    FileLib fileLib(files, eventLog);
    const std::string loader = workspace.Loader().string();
    std::int16_t step = 0;
    std::string status;
    LaunchEditContext run{
        .fileLib = fileLib,
        .boxes = boxes,
        .AppendStatusLine = [&status](const std::string& line) { status += line + "\r\n"; },
        .AppendReasonLine = [&status](const std::string& line) { status += line + "\r\n"; },
        .LoaderFile = loader,
        .Step = step,
    };
    // The floor of the same size is measured beside each edit, so that both see the same load from
    // whatever else the machine runs; which goes first alternates.
    const fs::path floorSource = launch.parent_path() / "Floor.local";
    const fs::path floorCopy = launch.parent_path() / "Copy.local";
    WriteFlushed(floorSource, original);
    double floorSeconds = 0;
    bool floorFirst = false;
    const auto measureFloor = [&] {
        fs::remove(floorCopy);
        const auto start = std::chrono::steady_clock::now();
        CopyFlushed(floorSource, floorCopy);
        floorSeconds += SecondsSince(start);
    };
    for (auto _ : state) {
        floorFirst = !floorFirst;
        if (floorFirst) {
            measureFloor();
        }
        WriteFlushed(launch, original);
        status.clear();
        const auto start = std::chrono::steady_clock::now();
        const std::int16_t result =
            edit.install ? RegisterAddon(run, launch.string()) : RemoveAddon(run, launch.string());
        state.SetIterationTime(SecondsSince(start));
        if (!floorFirst) {
            measureFloor();
        }
        if (result != edit.expected) {
            state.SkipWithError("the edit did not give the expected result");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * original.size()));
    state.counters["floor_ms"] =
        benchmark::Counter(floorSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

void FloorBenchmark(benchmark::State& state, std::size_t size) {
    Workspace& workspace = TheWorkspace();
    const fs::path directory = workspace.Directory("floor-" + SizeName(size));
    const fs::path launch = directory / "Launch.local";
    const fs::path copy = directory / "Copy.local";
    const std::string& original = workspace.Text(SampleBlock::SameRevision, size);
    // Not part of the floor, but shown beside it: releasing a file of this size, which a replace
    // does to the old file and a write to a new file does not (on a file system mounted with
    // discard it includes trimming the blocks).
    double releaseSeconds = 0;
    for (auto _ : state) {
        WriteFlushed(launch, original);
        const auto released = std::chrono::steady_clock::now();
        fs::remove(copy);
        releaseSeconds += SecondsSince(released);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(CopyFlushed(launch, copy));
        state.SetIterationTime(SecondsSince(start));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * original.size()));
    state.counters["release_ms"] =
        benchmark::Counter(releaseSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

void ConfBenchmark(benchmark::State& state) {
    const fs::path conf = TheWorkspace().Directory("conf") / "Kelvane.conf";
    const std::string text = ConfText(kConfSize, "C:\\KelvaneData");
    WriteFlushed(conf, text);
    posix::PosixFileSystem files("");
    NoEventLog eventLog;
    TrapState trap;
    for (auto _ : state) {
        const std::string dataPath = GetPathFromConf(conf.string(), trap, files, eventLog);
        if (dataPath != "C:\\KelvaneData") {
            state.SkipWithError("the reader did not find DATADIR");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

std::string Name(const std::string& what, std::size_t size) {
    return what + "/" + SizeName(size);
}

void RegisterAll() {
    for (const std::size_t size : kSizes) {
        benchmark::RegisterBenchmark(Name("floor", size).c_str(), FloorBenchmark, size)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        for (const EditCase& edit : kEdits) {
            benchmark::RegisterBenchmark(Name(edit.name, size).c_str(), EditBenchmark, edit, size)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark(Name("conf_reader", kConfSize).c_str(), ConfBenchmark)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

// Shows the aggregates as the console reporter does and keeps every repetition's time and paired
// floor, from which the summary takes its medians.
class SummaryReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                if (!run.error_occurred) {
                    Samples& samples = samples_[run.run_name.function_name];
                    const double seconds =
                        run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                    samples.seconds.push_back(seconds);
                    if (const auto release = run.counters.find("release_ms");
                        release != run.counters.end()) {
                        samples.releaseSeconds.push_back(release->second.value / 1e3);
                    }
                    if (const auto floor = run.counters.find("floor_ms");
                        floor != run.counters.end() && floor->second.value > 0) {
                        samples.pairedFloorSeconds.push_back(floor->second.value / 1e3);
                        samples.ratios.push_back(seconds * 1e3 / floor->second.value);
                    }
                }
                if (run.repetitions <= 1 || run.error_occurred) {
                    shown.push_back(run);
                }
            } else if (run.aggregate_name == "median" || run.aggregate_name == "cv") {
                shown.push_back(run);
            }
        }
        if (!shown.empty()) {
            ConsoleReporter::ReportRuns(shown);
        }
    }

    // Medians over the repetitions, if the benchmark ran: its time per iteration in seconds, the
    // floor measured beside it, and the ratio of the two taken repetition by repetition.
    std::optional<double> Median(const std::string& name) const {
        return MedianOf(name, &Samples::seconds);
    }
    std::optional<double> PairedFloor(const std::string& name) const {
        return MedianOf(name, &Samples::pairedFloorSeconds);
    }
    std::optional<double> Ratio(const std::string& name) const {
        return MedianOf(name, &Samples::ratios);
    }
    std::optional<double> Release(const std::string& name) const {
        return MedianOf(name, &Samples::releaseSeconds);
    }
    std::size_t Count(const std::string& name) const {
        const auto found = samples_.find(name);
        return found == samples_.end() ? 0 : found->second.seconds.size();
    }

  private:
    struct Samples {
        std::vector<double> seconds;
        std::vector<double> pairedFloorSeconds;
        std::vector<double> ratios;
        std::vector<double> releaseSeconds;
    };

    std::optional<double> MedianOf(const std::string& name,
                                   std::vector<double> Samples::*which) const {
        const auto found = samples_.find(name);
        if (found == samples_.end() || (found->second.*which).empty()) {
            return std::nullopt;
        }
        std::vector<double> values = found->second.*which;
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    std::map<std::string, Samples> samples_;
};

const char* Verdict(bool held) {
    return held ? "held" : "MISSED";
}

void PrintEditSummary(const SummaryReporter& figures) {
    std::printf(
        "\nEdits against the floor: reading the whole file and writing it to a new file "
        "flushed with fsync, as the program's replace flushes, measured beside each edit "
        "(medians over the repetitions; x floor is the median of the per-repetition "
        "ratios)\n");
    std::printf("%-16s %7s %5s %10s %9s %10s %8s\n", "edit", "size", "reps", "ms", "ms/MiB",
                "floor ms", "x floor");
    for (const std::size_t size : kSizes) {
        const double mib = static_cast<double>(size) / kMiB;
        if (const std::optional<double> floor = figures.Median(Name("floor", size))) {
            std::printf("%-16s %7s %5zu %10.3f %9.3f   (releasing a file this size: %.3f ms)\n",
                        "floor (alone)", SizeName(size).c_str(), figures.Count(Name("floor", size)),
                        *floor * 1e3, *floor * 1e3 / mib,
                        figures.Release(Name("floor", size)).value_or(0) * 1e3);
        }
        for (const EditCase& edit : kEdits) {
            const std::string name = Name(edit.name, size);
            const std::optional<double> time = figures.Median(name);
            const std::optional<double> floor = figures.PairedFloor(name);
            const std::optional<double> ratio = figures.Ratio(name);
            if (!time || !floor || !ratio) {
                continue;
            }
            std::printf("%-16s %7s %5zu %10.3f %9.3f %10.3f %8.2f\n", edit.name,
                        SizeName(size).c_str(), figures.Count(name), *time * 1e3, *time * 1e3 / mib,
                        *floor * 1e3, *ratio);
        }
    }
    if (const std::optional<double> conf = figures.Median(Name("conf_reader", kConfSize))) {
        std::printf("%-16s %7s %5zu %10.3f %9.3f\n", "conf_reader", SizeName(kConfSize).c_str(),
                    figures.Count(Name("conf_reader", kConfSize)), *conf * 1e3,
                    *conf * 1e3 / (static_cast<double>(kConfSize) / kMiB));
    }

    std::printf(
        "\nTargets at %s: each edit within %.1f x the floor; time at %s between %.0f and "
        "%.0f x the time at %s\n",
        SizeName(kLargest).c_str(), kFloorRatioLimit, SizeName(kLargest).c_str(), kGrowthLow,
        kGrowthHigh, SizeName(kGrowthBase).c_str());
    const std::optional<double> floor = figures.Median(Name("floor", kLargest));
    const std::optional<double> floorBase = figures.Median(Name("floor", kGrowthBase));
    if (floor && floorBase) {
        std::printf("  %-16s                      growth %6.2f (for reference)\n", "floor",
                    *floor / *floorBase);
    }
    for (const EditCase& edit : kEdits) {
        const std::optional<double> ratio = figures.Ratio(Name(edit.name, kLargest));
        const std::optional<double> time = figures.Median(Name(edit.name, kLargest));
        const std::optional<double> base = figures.Median(Name(edit.name, kGrowthBase));
        if (ratio) {
            std::printf("  %-16s %5.2f x floor %-6s", edit.name, *ratio,
                        Verdict(*ratio <= kFloorRatioLimit));
        }
        if (time && base) {
            const double growth = *time / *base;
            std::printf("   growth %6.2f %s", growth,
                        Verdict(growth >= kGrowthLow && growth <= kGrowthHigh));
        }
        std::printf("\n");
    }
}

void PrintProgramRuns(const fs::path& executable) {
    struct WholeRun {
        const char* name;
        const char* action;
        SampleBlock sample;
    };
    const WholeRun runs[] = {
        {"uinstall, remove", "uinstall", SampleBlock::SameRevision},
        {"install, update", "install", SampleBlock::OlderRevision},
        {"install, add", "install", SampleBlock::None},
        {"install, found", "install", SampleBlock::SameRevision},
    };
    const ScratchDirectory scratch("brelmont-bench-run");
    ProgramWorld world(scratch.Path(), executable);

    std::printf(
        "\nWhole console runs of %s on a %s Launch.local (peak resident memory of the "
        "process; target within %.0f x the file)\n",
        executable.c_str(), SizeName(kLargest).c_str(), kPeakMemoryLimit);
    std::printf("%-18s %6s %9s %9s %11s %8s\n", "run", "exit", "wall s", "cpu s", "peak MiB",
                "x file");
    for (const WholeRun& run : runs) {
        world.SetLaunch(LaunchText(kLargest, run.sample));
        const double fileSize = static_cast<double>(world.LaunchSize());
        const RunFigures figures = world.Run(run.action, false);
        const double peak = static_cast<double>(figures.peakKiB) * kKiB;
        std::printf("%-18s %6d %9.3f %9.3f %11.1f %8.2f %s\n", run.name, figures.exitStatus,
                    figures.wallSeconds, figures.cpuSeconds, peak / kMiB, peak / fileSize,
                    Verdict(figures.exitStatus == 0 && peak <= kPeakMemoryLimit * fileSize));
    }

    std::printf(
        "\nA whole GUI run (QT_QPA_PLATFORM=offscreen, uninstall, %.1f s of pauses): "
        "processor time as a share of wall time, target under %.0f %%\n",
        kGuiPauseSeconds, kIdleCpuLimitPercent);
#if BRELMONT_BENCH_GUI
    world.SetLaunch(LaunchText(4 * kKiB, SampleBlock::SameRevision));
    const RunFigures gui = world.Run("uinstall", true);
    const double share = gui.wallSeconds > 0 ? 100.0 * gui.cpuSeconds / gui.wallSeconds : 0.0;
    const bool waited = gui.wallSeconds >= kGuiPauseSeconds;
    std::printf("  exit %d, wall %.3f s, cpu %.3f s = %.2f %% %s\n", gui.exitStatus,
                gui.wallSeconds, gui.cpuSeconds, share,
                waited ? Verdict(gui.exitStatus == 0 && share < kIdleCpuLimitPercent)
                       : "NOT MEASURED: the run did not wait through its pauses");
#else
    std::printf(
        "  not measured: this build has no Qt front end (configure with "
        "BRELMONT_WITH_QT=ON)\n");
#endif
}

// An installer that runs the program silently waits for all of it: with no pauses, a run on a
// small Launch.local is over in well under a second.
void PrintUnattendedRun(const fs::path& executable) {
    constexpr double kUnattendedLimitSeconds = 0.5;
    const ScratchDirectory scratch("brelmont-bench-unattended");
    ProgramWorld world(scratch.Path(), executable);
    std::printf(
        "\nWhole unattended runs (BRELMONT_UNATTENDED=1) on a 4 KiB Launch.local: wall time, "
        "target under %.1f s\n",
        kUnattendedLimitSeconds);
    for (const char* action : {"install", "uinstall"}) {
        world.SetLaunch(LaunchText(4 * kKiB, SampleBlock::None));
        const RunFigures run = world.Run(action, false, true);
        std::printf("  %-9s exit %d, wall %.3f s, cpu %.3f s %s\n", action, run.exitStatus,
                    run.wallSeconds, run.cpuSeconds,
                    Verdict(run.exitStatus == 0 && run.wallSeconds < kUnattendedLimitSeconds));
    }
}

void PrintMachine() {
    utsname host{};
    ::uname(&host);
    std::printf("Host: %s %s %s; temporary files in %s (%s)\n", host.sysname, host.release,
                host.machine, TheWorkspace().Root().c_str(),
                FileSystemKind(TheWorkspace().Root()).c_str());
#ifndef NDEBUG
    std::printf("WARNING: this build is not optimised (NDEBUG unset); its figures mean little\n");
#endif
}

}  // namespace
}  // namespace brelmont::bench

int main(int argc, char** argv) {
    using namespace brelmont::bench;
    namespace fs = std::filesystem;
    if (const int status = MeasureChildIfAsked(argc, argv); status >= 0) {
        return status;
    }
    // Two builds of the program against each other (bench/compare-console-only.sh).
    if (argc == 4 && std::string_view(argv[1]) == "--paired-unattended") {
        PrintPairedUnattendedRuns(argv[2], argv[3], 20);
        return 0;
    }
    // The comparison with peer tools edits the very file the suite measures.
    if (argc == 3 && std::string_view(argv[1]) == "--write-launch") {
        WriteFlushed(argv[2], LaunchText(kLargest, SampleBlock::SameRevision));
        WriteFlushed(fs::path(argv[2]).parent_path() / "Sample.local", kLoaderText);
        return 0;
    }
    // A run of the program meets every large buffer fresh from the system. Left to itself, glibc
    // raises its mmap threshold after the first free and then serves later buffers of up to 32 MiB
    // from memory that earlier iterations already touched, so small files would be measured warm
    // and large ones cold. Pinning the threshold at its starting value keeps every size cold.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    // Defaults for a shared, noisy machine; flags given on the command line come later and win.
    // Each repetition runs several iterations after a warm-up, since the first edit of a file in a
    // fresh directory pays for the file system's first allocations there.
    std::vector<char*> args = {argv[0]};
    std::string repetitions = "--benchmark_repetitions=5";
    std::string minTime = "--benchmark_min_time=0.5";
    std::string warmUp = "--benchmark_min_warmup_time=0.2";
    args.push_back(repetitions.data());
    args.push_back(minTime.data());
    args.push_back(warmUp.data());
    bool programRuns = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--no-program-runs") {
            programRuns = false;
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    PrintMachine();
    RegisterAll();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintEditSummary(reporter);
    std::fflush(stdout);
    if (programRuns) {
        PrintProgramRuns(BRELMONT_EXECUTABLE);
        PrintUnattendedRun(BRELMONT_EXECUTABLE);
    }
    benchmark::Shutdown();
    return 0;
}
