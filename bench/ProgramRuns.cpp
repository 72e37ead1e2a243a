#include "bench/ProgramRuns.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "ui/qt/ModuleEntry.h"

extern char** environ;

namespace brelmont::bench {
namespace {

namespace fs = std::filesystem;

// Linux carries the high-water resident set of the memory image an exec replaces into the new
// program's figure. A child spawned straight from this process, which holds hundreds of MiB of
// generated text, would therefore report our peak rather than its own. So a small go-between (this
// binary, freshly executed) forks the program and reads its rusage.
constexpr std::string_view kMeasureFlag = "--measure-child";

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

std::vector<std::string> ChildEnvironment(const fs::path& winePrefix, bool gui, bool unattended) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const bool dropped = text.starts_with("DISPLAY=") || text.starts_with("WAYLAND_DISPLAY=") ||
                             text.starts_with("QT_QPA_PLATFORM=") ||
                             text.starts_with("WINEPREFIX=");
        if (!dropped) {
            env.emplace_back(text);
        }
    }
    env.push_back("WINEPREFIX=" + winePrefix.string());
    if (unattended) {
        env.emplace_back("BRELMONT_UNATTENDED=1");
    }
    if (gui) {
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

int MeasureChildIfAsked(int argc, char** argv) {
    // argv: self --measure-child <report file> <program> <arguments...>
    if (argc < 4 || argv[1] != kMeasureFlag) {
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[3], argv + 3);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) {
        return 2;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    std::ofstream report(argv[2]);
    report << (WIFEXITED(status) ? WEXITSTATUS(status) : -1) << ' ' << wall.count() << ' '
           << Seconds(usage.ru_utime) + Seconds(usage.ru_stime) << ' ' << usage.ru_maxrss << '\n';
    return report ? 0 : 2;
}

ProgramWorld::ProgramWorld(const fs::path& root, const fs::path& executable) : root_(root) {
    fs::create_directories(root_ / "bin" / "logs");
    fs::copy_file(executable, root_ / "bin" / "brelmont", fs::copy_options::overwrite_existing);
    // The Qt front end's module goes with the program, as it is installed.
    const fs::path module = executable.parent_path() / qtui::kModuleFileName;
    if (fs::exists(module)) {
        fs::copy_file(module, root_ / "bin" / qtui::kModuleFileName,
                      fs::copy_options::overwrite_existing);
    }
    const fs::path kelvane = root_ / "prefix" / "drive_c" / "Program Files" / "Kelvane";
    fs::create_directories(kelvane);
    fs::create_directories(root_ / "prefix" / "drive_c" / "KelvaneData");
    WriteFlushed(kelvane / "Kelvane.conf", "[Main]\r\nINSTANCE=1\r\nDATADIR=C:\\KelvaneData\r\n");
    WriteFlushed(root_ / "Sample.local", kLoaderText);
    launch_ = root_ / "prefix" / "drive_c" / "KelvaneData" / "Launch.local";
}

void ProgramWorld::SetLaunch(std::string_view bytes) {
    WriteFlushed(launch_, bytes);
}

std::uintmax_t ProgramWorld::LaunchSize() const {
    return fs::file_size(launch_);
}

RunFigures ProgramWorld::Run(const std::string& action, bool gui, bool unattended) const {
    const fs::path report = root_ / "figures";
    std::vector<std::string> args = {
        "brelmont_bench",
        std::string(kMeasureFlag),
        report.string(),
        (root_ / "bin" / "brelmont").string(),
        action + "," + (root_ / "Sample.local").string(),
    };
    std::vector<std::string> env = ChildEnvironment(root_ / "prefix", gui, unattended);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const std::string out = (root_ / "stdout").string();
    const std::string err = (root_ / "stderr").string();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error(std::string("posix_spawn: ") + std::strerror(spawned));
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the measuring go-between failed");
    }
    RunFigures figures;
    std::ifstream in(report);
    if (!(in >> figures.exitStatus >> figures.wallSeconds >> figures.cpuSeconds >>
          figures.peakKiB)) {
        throw std::runtime_error("no figures from the measuring go-between");
    }
    return figures;
}

}  // namespace brelmont::bench
