// Runs the test programs of a Windows test bundle on a machine that has nothing but Windows: each
// with a time bound, its JUnit report beside the bundle's list, and one line at the end that
// counts them. Exit status 0 only when every program passed.
//
// Under Wine, a program's failed tests are run once more, or the whole program when it could not
// be started: Wine now and then fails to start a process at all (CreateProcess or ShellExecuteEx
// end with "Internal error"), which the installer and GUI runs do many times each. A test that
// passes the second time counts as passed and is listed; one that fails again fails. A program
// stopped at its time bound or ended without a report is not run again. On Windows every failure
// stands.
//
//   brelmont_test_runner <list> <folder for the reports>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "hosts/win32/UniqueHandle.h"
#include "hosts/win32/Wine.h"
#include "tests/bundle/BundleList.h"
#include "win32/WideText.h"

namespace {

namespace fs = std::filesystem;
using brelmont::bundle::BundleEntry;
using brelmont::win32::Narrow;
using brelmont::win32::UniqueKernelHandle;
using brelmont::win32::Wide;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// This process's environment with the entry's variables set over it, as CreateProcessW takes it.
std::wstring EnvironmentFor(const BundleEntry& entry) {
    std::map<std::wstring, std::wstring> variables;
    const LPWCH block = ::GetEnvironmentStringsW();
    for (const wchar_t* at = block; *at != L'\0'; at += std::wcslen(at) + 1) {
        const std::wstring pair = at;
        const std::size_t equals = pair.find(L'=', 1);  // "=C:=C:\x" names a drive's folder
        if (equals != std::wstring::npos) {
            variables[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
    }
    ::FreeEnvironmentStringsW(block);
    for (const auto& [name, value] : entry.environment) {
        variables[Wide(name)] = Wide(value);
    }
    std::wstring environment;
    for (const auto& [name, value] : variables) {
        environment += name + L"=" + value + L'\0';
    }
    return environment + L'\0';
}

struct Outcome {
    bool passed = false;
    std::string why;  // for a failure
    bool started = true;
};

std::string Joined(const std::vector<std::string>& names, const std::string& between) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : between) + name;
    }
    return joined;
}

// Runs one program in a job, so that whatever it starts ends with it at the time bound; only the
// tests named in `only`, when there are any.
Outcome Run(const BundleEntry& entry, const fs::path& base, const fs::path& report,
            const std::vector<std::string>& only = {}) {
    const fs::path program = base / Wide(entry.program);
    std::wstring command =
        L"\"" + program.wstring() + L"\" \"--gtest_output=xml:" + report.wstring() + L"\"";
    if (!only.empty()) {
        command += L" \"--gtest_filter=" + Wide(Joined(only, ":")) + L"\"";
    }
    std::wstring environment = EnvironmentFor(entry);
    const UniqueKernelHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    // The program writes where the runner writes, so that a log of the run holds both.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                          CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                          program.parent_path().c_str(), &startup, &process)) {
        return {false,
                "could not be started (Windows error " + std::to_string(::GetLastError()) + ")",
                false};
    }
    const UniqueKernelHandle child(process.hProcess);
    const UniqueKernelHandle thread(process.hThread);
    ::AssignProcessToJobObject(job.Get(), child.Get());
    ::ResumeThread(thread.Get());
    const DWORD bound = static_cast<DWORD>(entry.seconds) * 1000;
    if (::WaitForSingleObject(child.Get(), bound) == WAIT_TIMEOUT) {
        ::TerminateJobObject(job.Get(), 1);
        ::WaitForSingleObject(child.Get(), 10000);
        return {false, "still running after " + std::to_string(entry.seconds) + " s: stopped"};
    }
    DWORD status = 1;
    ::GetExitCodeProcess(child.Get(), &status);
    if (status != 0) {
        return {false, "ended with exit status " + std::to_string(status)};
    }
    return {true, {}};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: brelmont_test_runner <list> <folder for the reports>\n", stderr);
        return 2;
    }
    const fs::path list = fs::absolute(argv[1]);
    const fs::path reports = fs::absolute(argv[2]);
    std::error_code ignored;
    fs::create_directories(reports, ignored);
    std::ifstream lines(list);
    if (!lines) {
        std::fprintf(stderr, "cannot read %s\n", Narrow(list.wstring()).c_str());
        return 2;
    }
    int passed = 0;
    int failed = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::optional<BundleEntry> entry = brelmont::bundle::ParseBundleLine(line);
        if (!entry) {
            continue;
        }
        const fs::path report = reports / Wide(entry->name + ".xml");
        fs::remove(report, ignored);
        std::printf("=== %s\n", entry->name.c_str());
        std::fflush(stdout);
        const auto start = std::chrono::steady_clock::now();
        Outcome outcome = Run(*entry, list.parent_path(), report);
        std::string again;
        if (!outcome.passed && brelmont::win32::RunsUnderWine()) {
            // Only the tests that failed, or the whole program where Wine could not start it.
            const std::vector<std::string> failedTests =
                brelmont::bundle::FailedTests(ReadText(report));
            if (!failedTests.empty() || !outcome.started) {
                const std::string which = outcome.started ? Joined(failedTests, ", ") : "all";
                const fs::path rerun = reports / Wide(entry->name + "-again.xml");
                fs::remove(rerun, ignored);
                std::printf("    failed under Wine, run once more: %s\n", which.c_str());
                std::fflush(stdout);
                if (Run(*entry, list.parent_path(), rerun, failedTests).passed) {
                    outcome = {true, {}};
                    again = " (passed when run again under Wine: " + which + ")";
                }
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!outcome.passed && !fs::exists(report)) {
            std::ofstream(report, std::ios::binary)
                << brelmont::bundle::FailureReport(entry->name, outcome.why);
        }
        for (const std::string& skip : brelmont::bundle::SkippedTests(ReadText(report))) {
            std::printf("    skipped %s\n", skip.c_str());
        }
        std::printf("%s %s (%.1f s)%s%s%s\n", outcome.passed ? "PASS" : "FAIL", entry->name.c_str(),
                    seconds, outcome.passed ? "" : ": ", outcome.why.c_str(), again.c_str());
        std::fflush(stdout);
        (outcome.passed ? passed : failed) += 1;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
