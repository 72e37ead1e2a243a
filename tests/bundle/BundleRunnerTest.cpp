// The bundle's runner, counted the way a Windows machine would run it: through run-tests.cmd in a
// scratch bundle holding one program that passes, one that skips, one that fails, one that never
// ends, one that fails only its first run (passed under Wine, which runs failed tests again) and
// one that is not there.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "hosts/win32/UniqueHandle.h"
#include "hosts/win32/Wine.h"
#include "tests/bundle/BundleList.h"
#include "tests/testkit/ScratchDirectory.h"
#include "win32/WideText.h"

namespace brelmont::bundle {
namespace {

namespace fs = std::filesystem;

fs::path HereDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

// Runs `command` in `folder`; its exit status (255 when it could not start or was still running
// after two minutes) and everything it wrote.
std::pair<DWORD, std::string> RunCaptured(std::wstring command, const fs::path& folder) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE ends[2] = {};
    ::CreatePipe(&ends[0], &ends[1], &inherit, 0);
    const win32::UniqueKernelHandle readEnd(ends[0]);
    win32::UniqueKernelHandle writeEnd(ends[1]);
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, folder.c_str(), &startup, &process);
    const win32::UniqueKernelHandle child(process.hProcess);
    const win32::UniqueKernelHandle thread(process.hThread);
    writeEnd.Reset();  // the child's copy alone keeps the pipe open
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (started && ::ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        output.append(buffer, got);
    }
    DWORD status = 255;
    if (started && ::WaitForSingleObject(child.Get(), 120000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(child.Get(), &status);
    }
    return {status, output};
}

class BundleRunnerTest : public ::testing::Test, public brelmont::testing::ScratchDirectory {};

TEST_F(BundleRunnerTest, CountsPassesAndFailuresAndListsSkips) {
    const fs::path bundle = brelmont::testing::PathOf(root);
    for (const char* file : {"brelmont_test_runner.exe", "bundle_probe.exe", "run-tests.cmd"}) {
        fs::copy_file(HereDirectory() / file, bundle / file);
    }
    std::ofstream(bundle / "tests.txt", std::ios::binary)
        << "# name|program|seconds|variables\n"
           "passes|bundle_probe.exe|60\n"
           "skips|bundle_probe.exe|60|BRELMONT_PROBE=skip\n"
           "fails|bundle_probe.exe|60|BRELMONT_PROBE=fail\n"
           "hangs|bundle_probe.exe|2|BRELMONT_PROBE=hang\n"
           "flaky|bundle_probe.exe|60|BRELMONT_PROBE=flaky\n"
           "missing|no_such_probe.exe|60\n";

    const auto [status, output] = RunCaptured(L"cmd.exe /c run-tests.cmd", bundle);

    EXPECT_NE(status, 0u) << output;
    const std::string counts = win32::RunsUnderWine() ? "3 passed, 3 failed" : "2 passed, 4 failed";
    EXPECT_TRUE(output.ends_with(counts + "\r\n") || output.ends_with(counts + "\n")) << output;
    if (win32::RunsUnderWine()) {
        EXPECT_NE(output.find("PASS flaky"), std::string::npos) << output;
        EXPECT_NE(output.find("passed when run again under Wine: Probe.Behaves"), std::string::npos)
            << output;
        EXPECT_NE(output.find("FAIL fails"), std::string::npos) << "a failure that stays counts";
    }
    EXPECT_NE(output.find("skipped Probe.Behaves:"), std::string::npos) << output;
    EXPECT_NE(output.find("the probe was asked to skip"), std::string::npos) << output;
    EXPECT_NE(output.find("FAIL hangs"), std::string::npos) << output;
    EXPECT_NE(output.find("FAIL missing"), std::string::npos) << output;
    EXPECT_NE(output.find("could not be started"), std::string::npos) << output;
    for (const char* name : {"passes", "skips", "fails", "hangs", "flaky", "missing"}) {
        EXPECT_TRUE(fs::is_regular_file(bundle / "results" / (std::string(name) + ".xml"))) << name;
    }
}

TEST(BundleListTest, ReadsTheListsLines) {
    const struct {
        std::string line;
        bool taken;
        int seconds;
        std::size_t variables;
    } cases[] = {
        {"gui|brelmont_gui_runs.exe|300", true, 300, 0},
        {"gui|x.exe|300|A=1|B=c=d\r", true, 300, 2},
        {"# remark|x.exe|3", false, 0, 0},
        {"", false, 0, 0},
        {"gui|x.exe", false, 0, 0},
        {"gui|x.exe|0", false, 0, 0},
        {"gui|x.exe|12s", false, 0, 0},
        {"gui|x.exe|3|NOEQUALS", false, 0, 0},
        {"|x.exe|3", false, 0, 0},
    };
    for (const auto& row : cases) {
        const std::optional<BundleEntry> entry = ParseBundleLine(row.line);
        ASSERT_EQ(entry.has_value(), row.taken) << row.line;
        if (entry) {
            EXPECT_EQ(entry->seconds, row.seconds) << row.line;
            EXPECT_EQ(entry->environment.size(), row.variables) << row.line;
        }
    }
}

TEST(BundleListTest, FailureReportIsWellFormedForAnyName) {
    const std::string report = FailureReport("a<b", "stopped \"at\" 2 s & more");
    EXPECT_NE(report.find("name=\"a&lt;b\""), std::string::npos) << report;
    EXPECT_NE(report.find("message=\"stopped &quot;at&quot; 2 s &amp; more\""), std::string::npos)
        << report;
    EXPECT_TRUE(SkippedTests(report).empty());
}

TEST(BundleListTest, ReportsGiveTheirSkipsWithReasonsAndTheirFailuresAsFilterNames) {
    const struct {
        const char* report;
        std::vector<std::string> skipped;
        std::vector<std::string> failed;
    } cases[] = {
        {"<testsuite name=\"S\"><testcase name=\"A\" classname=\"S\"/>\n"
         "<testcase name=\"B\" classname=\"S\">\n"
         "<skipped message=\"x.cpp:3&#x0A;Wine&apos;s &quot;msiexec&quot; &lt;1&gt; &amp; "
         "more\"/>\n</testcase></testsuite>",
         {"S.B: x.cpp:3 Wine's \"msiexec\" <1> & more"},
         {}},
        {"<testsuite name=\"E/P\"><testcase name=\"Runs/Msi\" classname=\"E/P\">\n"
         "<failure message=\"x.cpp:3\"/></testcase>\n"
         "<testcase name=\"Runs/Nsis\" classname=\"E/P\"/>\n"
         "<testcase name=\"T\" classname=\"S\"><failure message=\"a\"/><failure "
         "message=\"b\"/></testcase></testsuite>",
         {},
         {"E/P.Runs/Msi", "S.T"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SkippedTests(c.report), c.skipped) << c.report;
        EXPECT_EQ(FailedTests(c.report), c.failed) << c.report;
    }
}

}  // namespace
}  // namespace brelmont::bundle
