#include "tests/reliability/Sandbox.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "ui/qt/ModuleEntry.h"

extern char** environ;

namespace brelmont::reliability {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string FillerBlocks(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 128);
    std::string number = "0000000";
    while (text.size() < bytes) {
        // The next number, counted up in place: snprintf per block is too slow for 100 MB.
        for (std::size_t digit = number.size(); digit-- > 0 && ++number[digit] > '9';) {
            number[digit] = '0';
        }
        text += "[Filler";
        text += number;
        text += "-1.0]\r\nrun=C:\\Addons\\filler";
        text += number;
        text += ".exe --start\r\n/ [EOA]\r\n";
    }
    return text;
}

namespace {

// A hard link costs nothing.
void LinkOrCopy(const fs::path& from, const fs::path& to) {
    std::error_code linkError;
    fs::create_hard_link(from, to, linkError);
    if (linkError) {
        fs::copy_file(from, to);
    }
}

}  // namespace

Sandbox::Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "brelmont-rel-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp");
    }
    root = pattern;
    prefix = root / "prefix";
    kelvane = prefix / "drive_c" / "Program Files" / "Kelvane";
    data = prefix / "drive_c" / "KelvaneData";
    launch = data / "Launch.local";
    loader = root / "Sample.local";
    bin = root / "bin";
    fs::create_directories(kelvane);
    fs::create_directories(data);
    fs::create_directories(bin / "logs");
    // The program finds its logs/ folder, and the Qt front end's module, beside the path it runs
    // from.
    LinkOrCopy(BRELMONT_EXECUTABLE, bin / "brelmont");
#ifdef BRELMONT_QT_MODULE
    LinkOrCopy(BRELMONT_QT_MODULE, bin / qtui::kModuleFileName);
#endif
    WriteBytes(kelvane / "Kelvane.conf", "[Main]\r\nINSTANCE=1\r\nDATADIR=C:\\KelvaneData\r\n");
    WriteBytes(launch, kOtherBlocks);
    WriteBytes(loader, kSampleLoader);
}

Sandbox::~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::map<std::string, std::string> Sandbox::Snapshot() const {
    std::map<std::string, std::string> entries;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path relative = it->path().lexically_relative(root);
        const std::string ext = relative.extension().string();
        if (relative.parent_path().empty() && (ext == ".out" || ext == ".err" || ext == ".in")) {
            continue;
        }
        if (it->is_symlink()) {
            entries[relative.string()] = "<link " + fs::read_symlink(it->path()).string() + ">";
        } else if (it->is_directory()) {
            entries[relative.string()] = "<dir>";
        } else {
            entries[relative.string()] = ReadBytes(it->path());
        }
    }
    return entries;
}

pid_t StartProgram(const Sandbox& box, const Start& start) {
    const fs::path transcript = box.root / start.transcript;
    if (start.input) {
        WriteBytes(transcript.string() + ".in", *start.input);
    }
    // Everything the child needs is built before the fork.
    const std::string program = (box.bin / "brelmont").string();
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), start.arguments.begin(), start.arguments.end());
    std::vector<std::string> env{"WINEPREFIX=" + box.prefix.string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text = *entry;
        const bool dropped = text.starts_with("WINEPREFIX=") || text.starts_with("DISPLAY=") ||
                             text.starts_with("WAYLAND_DISPLAY=") ||
                             text.starts_with("QT_QPA_PLATFORM=");
        if (!dropped) {
            env.emplace_back(text);
        }
    }
    env.insert(env.end(), start.environment.begin(), start.environment.end());
    std::vector<char*> argp;
    std::vector<char*> envp;
    for (auto& a : argv) {
        argp.push_back(a.data());
    }
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    argp.push_back(nullptr);
    envp.push_back(nullptr);
    const std::string in = transcript.string() + ".in";
    const std::string out = transcript.string() + ".out";
    const std::string err = transcript.string() + ".err";
    const std::string directory = box.root.string();

    const pid_t child = ::fork();
    if (child != 0) {
        return child;
    }
    ::close(STDIN_FILENO);
    if (start.silentInput) {
        // The program holds the writing end itself, so its reads never see the end of input.
        int ends[2];
        if (::pipe(ends) != 0 || ends[0] != STDIN_FILENO) {
            ::_exit(126);
        }
    } else if (start.input && ::open(in.c_str(), O_RDONLY) != STDIN_FILENO) {
        ::_exit(126);
    }
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (outFd < 0 || errFd < 0 || ::dup2(outFd, STDOUT_FILENO) < 0 ||
        ::dup2(errFd, STDERR_FILENO) < 0 || ::chdir(directory.c_str()) != 0) {
        ::_exit(126);
    }
    if (start.fileSizeLimit > 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // ignored signals stay ignored across exec
        const rlimit limit{static_cast<rlim_t>(start.fileSizeLimit),
                           static_cast<rlim_t>(start.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (start.timeLimit > 0) {
        ::alarm(start.timeLimit);  // a pending alarm stays across exec
    }
    ::execve(program.c_str(), argp.data(), envp.data());
    ::_exit(127);
}

int WaitProgram(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1000;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

Finished RunProgram(const Sandbox& box, const Start& start) {
    const int exit = WaitProgram(StartProgram(box, start));
    const fs::path transcript = box.root / start.transcript;
    return {exit, ReadBytes(transcript.string() + ".out"), ReadBytes(transcript.string() + ".err")};
}

}  // namespace brelmont::reliability
