#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::reliability {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path);
void WriteBytes(const fs::path& path, std::string_view bytes);

inline const std::string kSampleLoader =
    "[Sample-1.2]\r\nrun=C:\\Addons\\Sample\\sample.exe\r\n/ [EOA]\r\n";
// What Launch.local holds before a run: two other add-ons, in the layout a rewrite produces.
inline const std::string kOtherBlocks =
    "[Weather-2.1]\r\nrun=C:\\Addons\\Weather\\weather.exe\r\n/ [EOA]\r\n"
    "[Logbook-1.0]\r\nrun=C:\\Addons\\Logbook\\logbook.exe --quiet\r\n/ [EOA]\r\n";

// At least `bytes` bytes of numbered add-on blocks "[Filler<n>-1.0]", CR LF after every line.
std::string FillerBlocks(std::size_t bytes);

// Launch.local after registering a loader file that ends in CR LF and whose add-on was absent:
// the old text, CR LF, the loader's lines, and the empty line its final CR LF leaves.
inline std::string Added(const std::string& old, const std::string& loader) {
    return old + "\r\n" + loader + "\r\n";
}

// A throw-away machine: a Wine prefix with Kelvane installed at C:\Program Files\Kelvane and its
// data directory at C:\KelvaneData holding kOtherBlocks, the sample add-on's loader file, and a
// copy of the program in bin/ beside its logs/ folder.
class Sandbox {
  public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Every entry under the root but the run transcripts: files by their bytes, links by their
    // target, directories as "<dir>".
    std::map<std::string, std::string> Snapshot() const;
    std::string Launch() const { return ReadBytes(launch); }

    fs::path root;
    fs::path prefix;
    fs::path kelvane;  // the program directory, holding Kelvane.conf
    fs::path data;
    fs::path launch;
    fs::path loader;
    fs::path bin;
};

// One start of the real program, console mode, in the sandbox's root directory.
struct Start {
    std::vector<std::string> arguments;
    std::optional<std::string> input = "y\n";   // standard input; none: closed
    std::string transcript = "run";             // output goes to <root>/<transcript>.out / .err
    long fileSizeLimit = 0;                     // RLIMIT_FSIZE in bytes, SIGXFSZ ignored; 0: none
    std::vector<std::string> environment = {};  // "NAME=value" set for the run, DISPLAY among them
    bool silentInput = false;  // standard input an open pipe that never sends (`input` ignored)
    unsigned timeLimit = 0;    // seconds until SIGALRM ends the program; 0: none
};

pid_t StartProgram(const Sandbox& box, const Start& start);
// The exit status, or minus the signal that ended the process.
int WaitProgram(pid_t pid);

struct Finished {
    int exit;
    std::string out;
    std::string err;
};
Finished RunProgram(const Sandbox& box, const Start& start);

}  // namespace brelmont::reliability
