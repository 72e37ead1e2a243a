#pragma once

// Whole runs of the real brelmont executable against a throw-away Kelvane in a Wine prefix, with
// the wall time, processor time and peak memory of each.

#include <filesystem>
#include <string>
#include <string_view>

namespace brelmont::bench {

struct RunFigures {
    int exitStatus = -1;
    double wallSeconds = 0;
    double cpuSeconds = 0;  // user + system
    long peakKiB = 0;       // the largest resident set the program had
};

// Entry of the go-between process (see ProgramRuns.cpp): when argv asks for it, runs the program
// named there and returns the process's exit status; otherwise returns -1 and does nothing.
int MeasureChildIfAsked(int argc, char** argv);

class ProgramWorld {
  public:
    // `executable`: the brelmont binary, copied into `root` beside its logs folder, with the Qt
    // front end's module when there is one beside it.
    ProgramWorld(const std::filesystem::path& root, const std::filesystem::path& executable);

    void SetLaunch(std::string_view bytes);
    std::uintmax_t LaunchSize() const;

    // `action`: "install" or "uinstall". `gui`: with QT_QPA_PLATFORM=offscreen, so a binary with
    // the Qt front end shows its window; otherwise without any display, on the console.
    // `unattended`: with BRELMONT_UNATTENDED=1, no front end and no pauses.
    RunFigures Run(const std::string& action, bool gui, bool unattended = false) const;

  private:
    std::filesystem::path root_;
    std::filesystem::path launch_;
};

}  // namespace brelmont::bench
