#include "ui/qt/DisplayProbe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>
#include <cstring>
#include <thread>

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

// What the child wrote before it closed its end or the deadline passed.
std::string ReadUntil(int from, Clock::time_point deadline) {
    std::string text;
    char buffer[1024];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return text;
        }
        pollfd ready{from, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return text;
        }
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return text;
        }
        if (text.size() < kLongestComplaint) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
}

// The child's exit status as waitpid gives it, or none once the deadline has passed.
bool WaitUntil(pid_t child, Clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            return ended == child;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
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
    int complaints[2];
    if (::pipe2(complaints, O_CLOEXEC) != 0) {
        return {true, {}};  // No trial possible: Qt is tried for real, as it always was.
    }
    const pid_t child = ::fork();
    if (child == 0) {
        TryInChild(arguments, complaints[1]);
    }
    ::close(complaints[1]);
    if (child < 0) {
        ::close(complaints[0]);
        return {true, {}};
    }
    const Clock::time_point deadline = Clock::now() + bound;
    const std::string written = ReadUntil(complaints[0], deadline);
    ::close(complaints[0]);
    int status = 0;
    if (!WaitUntil(child, deadline, status)) {
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
