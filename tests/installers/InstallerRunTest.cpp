// The example installers (examples/nsis, examples/msi), built by makensis and wixl beside this
// program, run under Wine as a vendor's customers would run them: silent and attended, install
// and then removal, against a Kelvane installation whose Launch.local already holds another
// add-on's block. Every run has a deadline; a box nobody answers fails the test.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "tests/programs/windows/TestFiles.h"
#include "tests/programs/windows/WindowDriver.h"

namespace brelmont::win32::test {
namespace {

namespace fs = std::filesystem;

// An attended step takes some seconds (Brelmont pauses to show its progress).
constexpr DWORD kInstallerWait = 30000;

const fs::path kInstallDir = "C:\\Program Files\\Sample Addon";
const fs::path kKelvaneConf = "C:\\Program Files\\Kelvane\\Kelvane.conf";
const fs::path kKelvaneConfX86 = "C:\\Program Files (x86)\\Kelvane\\Kelvane.conf";
const fs::path kRoot = "C:\\BrelmontInstallerRuns";
const fs::path kLaunch = kRoot / "Data" / "Launch.local";
// The NSIS installer's entry in Programs and Features.
const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample Addon";

// The examples' loader file, byte for byte.
const std::string kSample =
    "[Sample-1.2]\r\nrun=C:\\Program Files\\Sample Addon\\sample.exe\r\n/ [EOA]\r\n";
const std::string kOther = "[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n";

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

void AnswerIntegrateYes() {
    // Brelmont's, a child of the installer (or of msiexec) whose process id the test never
    // learns.
    const HWND box = WaitForWindow(kAnyProcess, "#32770", "Integrate with Kelvane");
    ASSERT_NE(box, nullptr) << "no \"Integrate with Kelvane\" box";
    const HWND yes = FindButton(box, "Yes");
    ASSERT_NE(yes, nullptr);
    Press(box, yes);
    EXPECT_TRUE(WaitUntilGone(box));
}

// Runs one installer step to its end, answering Brelmont's box when `answer` says so: the exit
// status, or nothing when it still ran at the deadline.
std::optional<DWORD> RunToEnd(const fs::path& executable, const std::string& arguments,
                              bool answer) {
    RunningProgram step(executable.string(), Quoted(executable) + " " + arguments);
    if (answer) {
        AnswerIntegrateYes();
    }
    return step.WaitForExit(kInstallerWait);
}

enum class Package { Nsis, Msi };

struct InstallerRun {
    std::string name;
    Package package;
    bool silent;          // NSIS /S, msiexec /qn; else attended (msiexec /qb), the box answered Yes
    bool kelvane = true;  // Kelvane installed; without it the install must fail and say so
};

class InstallerRunTest : public ::testing::TestWithParam<InstallerRun> {
  protected:
    void SetUp() override {
#ifdef BRELMONT_NO_INSTALLERS
        GTEST_SKIP() << "makensis or wixl was not found when the build was configured, so there "
                        "are no example installers to run (Debian packages nsis and wixl)";
#endif
        // What the runs do must come from the installers, not from this process's environment.
        ::SetEnvironmentVariableA("BRELMONT_UNATTENDED", nullptr);
        ::SetEnvironmentVariableA("BRELMONT_KELVANE_DIR", nullptr);
        RemoveAll();
        if (GetParam().kelvane) {
            WriteAll(kKelvaneConf, "[Paths]\r\nDATADIR=" + kLaunch.parent_path().string() + "\r\n");
        }
        WriteAll(kLaunch, kOther);
    }

    void TearDown() override {
        // A run that failed half-way may leave the package registered with msiexec.
        if (GetParam().package == Package::Msi && !IsSkipped()) {
            Msiexec("/x", true);
        }
        RemoveAll();
    }

    static void RemoveAll() {
        std::error_code ignored;
        fs::remove_all(kInstallDir, ignored);
        fs::remove_all(kRoot, ignored);
        fs::remove(kKelvaneConf, ignored);
        fs::remove(kKelvaneConfX86, ignored);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    }

    static std::optional<DWORD> Msiexec(const std::string& action, bool silent) {
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        return RunToEnd(fs::path(system) / "msiexec.exe",
                        action + " " + Quoted(TestProgramDirectory() / "Sample.msi") +
                            (silent ? " /qn" : " /qb"),
                        !silent && action == "/i");
    }

    static std::optional<DWORD> Install(const InstallerRun& run) {
        if (run.package == Package::Msi) {
            return Msiexec("/i", run.silent);
        }
        return RunToEnd(TestProgramDirectory() / "SampleSetup.exe", run.silent ? "/S" : "",
                        !run.silent);
    }

    static std::optional<DWORD> Remove(const InstallerRun& run) {
        if (run.package == Package::Msi) {
            return Msiexec("/x", run.silent);
        }
        // As the uninstaller would do by itself, but waited for: it runs from a copy, told where
        // the add-on lies ("_?=", last and unquoted), so that it can delete the original.
        const fs::path copy = fs::temp_directory_path() / "BrelmontInstallerRunsUninstall.exe";
        fs::copy_file(kInstallDir / "Uninstall.exe", copy, fs::copy_options::overwrite_existing);
        const auto status = RunToEnd(
            copy, std::string(run.silent ? "/S " : "") + "_?=" + kInstallDir.string(), false);
        std::error_code ignored;
        fs::remove(copy, ignored);
        return status;
    }
};

TEST_P(InstallerRunTest, RegistersThenRemovesTheAddon) {
    const InstallerRun& run = GetParam();
    const fs::path log = kInstallDir / "logs" / "Brelmont.log";

    const std::optional<DWORD> installed = Install(run);
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    const std::string session = ReadAll(log).value_or("(no session log)");
    if (!run.kelvane) {
        // NSIS hands on Brelmont's status; msiexec its own (1603 on Windows, 1627 under Wine).
        if (run.package == Package::Nsis) {
            EXPECT_EQ(*installed, 2u);
        } else {
            EXPECT_NE(*installed, 0u);
        }
        EXPECT_NE(session.find("Ended with exit status 2: no Kelvane program directory"),
                  std::string::npos)
            << session;
        EXPECT_EQ(ReadAll(kLaunch), kOther);
        return;
    }
    ASSERT_EQ(*installed, 0u) << session;
    EXPECT_EQ(ReadAll(kLaunch), kOther + "\r\n" + kSample + "\r\n");
    EXPECT_EQ(ReadAll(kInstallDir / "Sample.local"), kSample);
    EXPECT_TRUE(fs::is_regular_file(kInstallDir / "Brelmont.exe"));
    EXPECT_NE(session.find("Update outcome: Added this Addon to Launch.Local"), std::string::npos)
        << session;

    const std::optional<DWORD> removed = Remove(run);
    ASSERT_TRUE(removed.has_value()) << "the removal was still running";
    EXPECT_EQ(*removed, 0u);
    EXPECT_EQ(ReadAll(kLaunch), kOther);
    EXPECT_FALSE(fs::exists(kInstallDir)) << "left behind";
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        ::RegCloseKey(key);
        ADD_FAILURE() << "the uninstall entry stayed";
    }
}

void PrintTo(const InstallerRun& run, std::ostream* out) {
    *out << run.name;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, InstallerRunTest,
    ::testing::Values(InstallerRun{"NsisSilent", Package::Nsis, true},
                      InstallerRun{"NsisAttended", Package::Nsis, false},
                      InstallerRun{"NsisSilentWithoutKelvane", Package::Nsis, true, false},
                      InstallerRun{"MsiSilent", Package::Msi, true},
                      InstallerRun{"MsiAttended", Package::Msi, false},
                      InstallerRun{"MsiSilentWithoutKelvane", Package::Msi, true, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace brelmont::win32::test
