#include "ui/qt/DisplayProbe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>

#include "hosts/posix/UniqueFd.h"

namespace brelmont::qtui {
namespace {

using Clock = std::chrono::steady_clock;

// The longest complaint kept: Qt's first line says what failed, the rest lists its plugins.
constexpr std::size_t kLongestComplaint = 4096;

[[noreturn]] void TryInChild(const std::vector<std::string>& arguments, int complaints) {
    ::dup2(complaints, STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nowhere >= 0) {
        ::dup2(nowhere, STDIN_FILENO);
        ::dup2(nowhere, STDOUT_FILENO);
    }
    // Qt aborts when the platform fails: no core file for that.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int argc = static_cast<int>(copies.size());
    // Never destroyed: the trial ends here, without the parent's exit handlers or buffers.
    new QGuiApplication(argc, argv.data());
    ::_exit(0);
}

// Takes in what is waiting on `from` (non-blocking), up to the longest complaint kept.
void Drain(int from, std::string& text) {
    char buffer[1024];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
        if (text.size() < kLongestComplaint) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
}

// Waits for the child to end, keeping what it writes meanwhile; false once the deadline has
// passed. The child's end alone decides: something it started (a session bus launched on demand)
// may hold the pipe open long after it.
bool WaitUntil(pid_t child, int complaints, Clock::time_point deadline, int& status,
               std::string& written) {
    for (;;) {
        pollfd ready{complaints, POLLIN, 0};
        ::poll(&ready, 1, 5);
        Drain(complaints, written);
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            Drain(complaints, written);
            return ended == child;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
    }
}

std::string FirstLine(const std::string& text) {
    const std::size_t start = text.find_first_not_of("\r\n");
    if (start == std::string::npos) {
        return {};
    }
    return text.substr(start, text.find_first_of("\r\n", start) - start);
}

}  // namespace

DisplayProbe ProbeDisplay(const std::vector<std::string>& arguments,
                          std::chrono::milliseconds bound) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return {true, {}};  // No trial possible: Qt is tried for real, as it always was.
    }
    const posix::UniqueFd complaints(ends[0]);
    posix::UniqueFd childsEnd(ends[1]);
    const pid_t child = ::fork();
    if (child == 0) {
        TryInChild(arguments, childsEnd.Get());
    }
    childsEnd.Close();  // only the child writes to it
    if (child < 0) {
        return {true, {}};
    }
    ::fcntl(complaints.Get(), F_SETFL, O_NONBLOCK);
    std::string written;
    int status = 0;
    const bool ended = WaitUntil(child, complaints.Get(), Clock::now() + bound, status, written);
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return {false, "the display gave no answer in " +
                           std::to_string(
                               std::chrono::duration_cast<std::chrono::seconds>(bound).count()) +
                           " s"};
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return {true, {}};
    }
    std::string reason = FirstLine(written);
    if (reason.empty()) {
        reason = WIFSIGNALED(status)
                     ? "Qt ended with signal " + std::to_string(WTERMSIG(status))
                     : "Qt ended with exit status " + std::to_string(WEXITSTATUS(status));
    }
    return {false, reason};
}

}  // namespace brelmont::qtui
