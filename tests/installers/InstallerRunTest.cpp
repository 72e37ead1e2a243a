// The example installers (examples/nsis, examples/msi), built by makensis and wixl beside this
// program, run under Wine as a vendor's customers would run them: silent and attended, install
// and then removal, against Kelvane installations whose Launch.local already holds another
// add-on's block. Every run has a deadline; a box nobody answers fails the test.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "hosts/win32/Wine.h"
#include "tests/programs/windows/TestFiles.h"
#include "tests/programs/windows/WindowDriver.h"

namespace brelmont::win32::test {
namespace {

namespace fs = std::filesystem;

// An attended step takes some seconds (Brelmont pauses to show its progress).
constexpr DWORD kInstallerWait = 30000;

const fs::path kInstallDir = "C:\\Program Files\\Sample Addon";
const fs::path kKelvaneDir = "C:\\Program Files\\Kelvane";
const fs::path kKelvaneDirX86 = "C:\\Program Files (x86)\\Kelvane";
const fs::path kRoot = "C:\\BrelmontInstallerRuns";
const fs::path kLaunch = kRoot / "Data" / "Launch.local";
const fs::path kLaunchX86 = kRoot / "DataX86" / "Launch.local";
const fs::path kLog = kInstallDir / "logs" / "Brelmont.log";
// The NSIS installer's entry in Programs and Features.
const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample Addon";
// Where both installers remember the add-on's Kelvane installation.
const std::string kVendorKey = "Software\\Sample Vendor";
const std::string kAddonKey = kVendorKey + "\\Sample Addon";

// The examples' loader file, byte for byte, and the one of the MSI's version 1.3.
const std::string kSample =
    "[Sample-1.2]\r\nrun=C:\\Program Files\\Sample Addon\\sample.exe\r\n/ [EOA]\r\n";
const std::string kSample13 =
    "[Sample-1.3]\r\nrun=C:\\Program Files\\Sample Addon\\sample.exe\r\n/ [EOA]\r\n";
const std::string kOther = "[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n";
// Launch.local once a block was added after kOther.
std::string Registered(const std::string& block) {
    return kOther + "\r\n" + block + "\r\n";
}

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

std::optional<std::string> RegistryText(const std::string& key, const std::string& name) {
    char value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(value);
}

bool KeyExists(const std::string& key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

// What a person does while an installer step runs; installers and msiexec start Brelmont as a
// child (or grandchild) whose process id the test never learns, so windows are looked for in
// every process.
using User = std::function<void()>;

// Presses a button of a box or dialog and, where `closes`, waits until it has gone.
void Answer(const std::string& title, const std::string& button, bool closes = true) {
    const HWND box = WaitForWindow(kAnyProcess, "#32770", title);
    ASSERT_NE(box, nullptr) << "no \"" << title << "\" window";
    const HWND pressed = FindButton(box, button);
    ASSERT_NE(pressed, nullptr) << "no " << button << " in \"" << title << "\"";
    Press(box, pressed);
    if (closes) {
        EXPECT_TRUE(WaitUntilGone(box)) << "\"" << title << "\" stayed after " << button;
    }
}

void AnswerIntegrateYes() {
    Answer("Integrate with Kelvane", "Yes");
}

// The NSIS installer's window, titled after its page, and the caption of its boxes.
const std::string kNsisFolderPage = "Sample Addon Setup: Installation Folder";
const std::string kNsisCaption = "Sample Addon Setup";

// The NSIS installer's folder page comes before anything else; its window stays for the
// progress page.
void PressInstallOnFolderPage() {
    Answer(kNsisFolderPage, "Install", false);
}

// Chooses the second row of Brelmont's pick list, the installation in Program Files (x86).
void ChooseSecondInstallation() {
    const HWND dialog = WaitForWindow(kAnyProcess, "#32770", "Select Kelvane Program Path");
    ASSERT_NE(dialog, nullptr) << "no pick list";
    const HWND list = ::FindWindowExA(dialog, nullptr, "SysListView32", nullptr);
    const HWND ok = FindButton(dialog, "OK");
    ASSERT_TRUE(list != nullptr && ok != nullptr);
    PressKey(list, VK_DOWN);
    ASSERT_TRUE(WaitFor([list] {
        return ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                              MAKELPARAM(LVNI_SELECTED, 0)) == 1;
    }));
    Press(dialog, ok);
    EXPECT_TRUE(WaitUntilGone(dialog));
}

// The person closes Brelmont's window while it asks, then says Yes: the run ends before any
// edit, with exit status 6.
void CloseBrelmontThenAnswerYes() {
    const HWND box = WaitForWindow(kAnyProcess, "#32770", "Integrate with Kelvane");
    ASSERT_NE(box, nullptr) << "no \"Integrate with Kelvane\" box";
    const HWND main = ::GetWindow(box, GW_OWNER);
    ASSERT_NE(main, nullptr) << "the box has no owner window";
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    AnswerIntegrateYes();
}

// Runs one installer step to its end with `user` acting meanwhile: the exit status, or nothing
// when it still ran at the deadline.
std::optional<DWORD> RunToEnd(const fs::path& executable, const std::string& arguments,
                              const User& user = {}) {
    RunningProgram step(executable.string(), Quoted(executable) + " " + arguments);
    if (user) {
        user();
    }
    return step.WaitForExit(kInstallerWait);
}

enum class Package { Nsis, Msi };

const fs::path kMsi12 = "Sample.msi";
const fs::path kMsi13 = "Sample-1.3.msi";

// Kelvane's program folder with its Kelvane.conf naming the data directory of `launch`, which
// holds another add-on's block.
void InstallKelvane(const fs::path& programDir, const fs::path& launch) {
    WriteAll(programDir / "Kelvane.conf",
             "[Paths]\r\nDATADIR=" + launch.parent_path().string() + "\r\n");
    WriteAll(launch, kOther);
}

class InstallerFixture : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef BRELMONT_NO_INSTALLERS
        GTEST_SKIP() << "makensis or wixl was not found when the build was configured, so there "
                        "are no example installers to run (Debian packages nsis and wixl)";
#endif
        // What the runs do must come from the installers, not from this process's environment.
        ::SetEnvironmentVariableA("BRELMONT_UNATTENDED", nullptr);
        ::SetEnvironmentVariableA("BRELMONT_KELVANE_DIR", nullptr);
        msiInstalled = false;
        RemoveAll();
    }

    void TearDown() override {
        ::SetEnvironmentVariableA("BRELMONT_KELVANE_DIR", nullptr);
        // A run that failed half-way may leave a package registered with msiexec.
        if (msiInstalled) {
            for (const fs::path& package : {kMsi13, kMsi12}) {
                Msiexec("/x", package, true);
            }
        }
        RemoveAll();
    }

    static void RemoveAll() {
        std::error_code ignored;
        fs::remove_all(kInstallDir, ignored);
        fs::remove_all(kRoot, ignored);
        fs::remove_all(kKelvaneDir, ignored);
        fs::remove_all(kKelvaneDirX86, ignored);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVendorKey.c_str());
    }

    static inline bool msiInstalled = false;

    // `properties` go on msiexec's command line, e.g. KELVANEDIR="...".
    static std::optional<DWORD> Msiexec(const std::string& action, const fs::path& package,
                                        bool silent, const User& user = {},
                                        const std::string& properties = "") {
        msiInstalled = msiInstalled || action == "/i";
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        return RunToEnd(fs::path(system) / "msiexec.exe",
                        action + " " + Quoted(TestProgramDirectory() / package) +
                            (properties.empty() ? "" : " " + properties) +
                            (silent ? " /qn" : " /qb"),
                        user);
    }

    static std::optional<DWORD> NsisSetup(const std::string& arguments, const User& user = {}) {
        return RunToEnd(TestProgramDirectory() / "SampleSetup.exe", arguments, user);
    }

    static std::optional<DWORD> Install(Package package, bool silent, const User& user = {}) {
        if (package == Package::Msi) {
            return Msiexec("/i", kMsi12, silent, user);
        }
        return NsisSetup(silent ? "/S" : "", user);
    }

    static std::optional<DWORD> Remove(Package package, bool silent) {
        if (package == Package::Msi) {
            return Msiexec("/x", kMsi12, silent);
        }
        // As the uninstaller would do by itself, but waited for: it runs from a copy, told where
        // the add-on lies ("_?=", last and unquoted), so that it can delete the original.
        const fs::path copy = fs::temp_directory_path() / "BrelmontInstallerRunsUninstall.exe";
        fs::copy_file(kInstallDir / "Uninstall.exe", copy, fs::copy_options::overwrite_existing);
        const auto status =
            RunToEnd(copy, std::string(silent ? "/S " : "") + "_?=" + kInstallDir.string());
        std::error_code ignored;
        fs::remove(copy, ignored);
        return status;
    }

    // Nothing of the add-on is left but, where `keptLog`, its session log.
    static void ExpectRemoved(bool keptLog = false) {
        if (keptLog) {
            EXPECT_TRUE(fs::is_regular_file(kLog));
            EXPECT_FALSE(fs::exists(kInstallDir / "Brelmont.exe"));
            EXPECT_FALSE(fs::exists(kInstallDir / "Sample.local"));
            EXPECT_FALSE(fs::exists(kInstallDir / "Uninstall.exe"));
        } else {
            EXPECT_FALSE(fs::exists(kInstallDir)) << "left behind";
        }
        EXPECT_FALSE(KeyExists(kUninstallKey)) << "the uninstall entry stayed";
        EXPECT_FALSE(KeyExists(kAddonKey)) << "the add-on's key stayed";
    }
};

struct InstallerRun {
    std::string name;
    Package package;
    bool silent;          // NSIS /S, msiexec /qn; else attended (msiexec /qb), the box answered Yes
    bool kelvane = true;  // Kelvane installed; without it the install must fail and say so
    bool kelvaneAtRemoval = true;  // else Kelvane is gone before the add-on is removed
};

class InstallerRunTest : public InstallerFixture,
                         public ::testing::WithParamInterface<InstallerRun> {};

TEST_P(InstallerRunTest, RegistersThenRemovesTheAddon) {
    const InstallerRun& run = GetParam();
    if (run.kelvane) {
        InstallKelvane(kKelvaneDir, kLaunch);
    } else {
        WriteAll(kLaunch, kOther);
    }

    const std::optional<DWORD> installed = Install(
        run.package, run.silent, run.silent ? User{} : [&run] {
            if (run.package == Package::Nsis) {
                PressInstallOnFolderPage();
            }
            AnswerIntegrateYes();
        });
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    const std::string session = ReadAll(kLog).value_or("(no session log)");
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
    EXPECT_EQ(ReadAll(kLaunch), Registered(kSample));
    EXPECT_EQ(ReadAll(kInstallDir / "Sample.local"), kSample);
    EXPECT_TRUE(fs::is_regular_file(kInstallDir / "Brelmont.exe"));
    EXPECT_NE(session.find("Update outcome: Added this Addon to Launch.Local"), std::string::npos)
        << session;
    EXPECT_EQ(RegistryText(kAddonKey, "KelvaneDir"), kKelvaneDir.string());

    if (!run.kelvaneAtRemoval) {
        fs::remove_all(kKelvaneDir);
    }
    const std::optional<DWORD> removed = Remove(run.package, run.silent);
    ASSERT_TRUE(removed.has_value()) << "the removal was still running";
    // The add-on goes either way; a block Kelvane no longer reads stays in its data directory,
    // and the log says why.
    EXPECT_EQ(*removed, 0u);
    if (run.kelvaneAtRemoval) {
        EXPECT_EQ(ReadAll(kLaunch), kOther);
        ExpectRemoved();
    } else {
        EXPECT_EQ(ReadAll(kLaunch), Registered(kSample));
        ExpectRemoved(true);
        const std::string removal = ReadAll(kLog).value_or("(no session log)");
        EXPECT_NE(removal.find("Ended with exit status 3: no Kelvane data directory"),
                  std::string::npos)
            << removal;
    }
}

void PrintTo(const InstallerRun& run, std::ostream* out) {
    *out << run.name;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, InstallerRunTest,
    ::testing::Values(
        InstallerRun{"NsisSilent", Package::Nsis, true},
        InstallerRun{"NsisAttended", Package::Nsis, false},
        InstallerRun{"NsisSilentWithoutKelvane", Package::Nsis, true, false},
        InstallerRun{"NsisSilentKelvaneGoneAtRemoval", Package::Nsis, true, true, false},
        InstallerRun{"MsiSilent", Package::Msi, true},
        InstallerRun{"MsiAttended", Package::Msi, false},
        InstallerRun{"MsiSilentWithoutKelvane", Package::Msi, true, false},
        InstallerRun{"MsiSilentKelvaneGoneAtRemoval", Package::Msi, true, true, false}),
    [](const auto& info) { return info.param.name; });

// Two Kelvane installations: the one chosen at install is remembered, and a silent removal,
// which could not choose, takes the block from that one only.
struct ChoiceRun {
    std::string name;
    Package package;
    bool silent;  // chosen by the caller (NSIS: BRELMONT_KELVANE_DIR; MSI: KELVANEDIR), else
                  // picked in Brelmont's list
};

class KelvaneChoiceTest : public InstallerFixture,
                          public ::testing::WithParamInterface<ChoiceRun> {};

TEST_P(KelvaneChoiceTest, RemovesFromTheInstallationChosenAtInstall) {
    const ChoiceRun& run = GetParam();
    InstallKelvane(kKelvaneDir, kLaunch);
    InstallKelvane(kKelvaneDirX86, kLaunchX86);

    std::optional<DWORD> installed;
    if (!run.silent) {
        installed = Install(run.package, false, [&run] {
            if (run.package == Package::Nsis) {
                PressInstallOnFolderPage();
            }
            AnswerIntegrateYes();
            ChooseSecondInstallation();
        });
    } else if (run.package == Package::Msi) {
        installed = Msiexec("/i", kMsi12, true, {}, "KELVANEDIR=" + Quoted(kKelvaneDirX86));
    } else {
        ::SetEnvironmentVariableA("BRELMONT_KELVANE_DIR", kKelvaneDirX86.string().c_str());
        installed = NsisSetup("/S");
        ::SetEnvironmentVariableA("BRELMONT_KELVANE_DIR", nullptr);
    }
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    ASSERT_EQ(*installed, 0u) << ReadAll(kLog).value_or("(no session log)");
    EXPECT_EQ(ReadAll(kLaunch), kOther);
    EXPECT_EQ(ReadAll(kLaunchX86), Registered(kSample));
    EXPECT_EQ(RegistryText(kAddonKey, "KelvaneDir"), kKelvaneDirX86.string());

    const std::optional<DWORD> removed = Remove(run.package, true);
    ASSERT_TRUE(removed.has_value()) << "the removal was still running";
    EXPECT_EQ(*removed, 0u);
    EXPECT_EQ(ReadAll(kLaunch), kOther);
    EXPECT_EQ(ReadAll(kLaunchX86), kOther);
    ExpectRemoved();
}

void PrintTo(const ChoiceRun& run, std::ostream* out) {
    *out << run.name;
}

INSTANTIATE_TEST_SUITE_P(Examples, KelvaneChoiceTest,
                         ::testing::Values(ChoiceRun{"NsisSilent", Package::Nsis, true},
                                           ChoiceRun{"NsisAttended", Package::Nsis, false},
                                           ChoiceRun{"MsiSilent", Package::Msi, true},
                                           ChoiceRun{"MsiAttended", Package::Msi, false}),
                         [](const auto& info) { return info.param.name; });

// Version 1.2 of the MSI installed, then 1.3 over it: its block replaces 1.2's, or, when the new
// registration fails, 1.2's stays.
struct UpgradeRun {
    std::string name;
    bool registrationFails;  // the person closes Brelmont's window while it asks
};

class MsiUpgradeTest : public InstallerFixture, public ::testing::WithParamInterface<UpgradeRun> {};

TEST_P(MsiUpgradeTest, KeepsTheAddonRegistered) {
    const UpgradeRun& run = GetParam();
    InstallKelvane(kKelvaneDir, kLaunch);
    const std::optional<DWORD> installed = Msiexec("/i", kMsi12, true);
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    ASSERT_EQ(*installed, 0u) << ReadAll(kLog).value_or("(no session log)");
    ASSERT_EQ(ReadAll(kLaunch), Registered(kSample));

    const std::optional<DWORD> upgraded =
        run.registrationFails ? Msiexec("/i", kMsi13, false, CloseBrelmontThenAnswerYes)
                              : Msiexec("/i", kMsi13, true);
    ASSERT_TRUE(upgraded.has_value()) << "the upgrade was still running";
    const std::string session = ReadAll(kLog).value_or("(no session log)");
    if (run.registrationFails) {
        EXPECT_NE(*upgraded, 0u);
        EXPECT_EQ(ReadAll(kLaunch), Registered(kSample)) << session;
        // Brelmont's run ended before the edit, not before it started.
        const std::string lastRun = session.substr(session.rfind("Brelmont 3."));
        EXPECT_NE(lastRun.find("Found loader file"), std::string::npos) << session;
        EXPECT_EQ(lastRun.find("Update outcome"), std::string::npos) << session;
        return;
    }
    ASSERT_EQ(*upgraded, 0u) << session;
    // Replaced where it stood; the replacement keeps no blank line around it.
    EXPECT_EQ(ReadAll(kLaunch), kOther + kSample13) << session;
    EXPECT_EQ(ReadAll(kInstallDir / "Sample.local"), kSample13);

    const std::optional<DWORD> removed = Msiexec("/x", kMsi13, true);
    ASSERT_TRUE(removed.has_value()) << "the removal was still running";
    EXPECT_EQ(*removed, 0u);
    EXPECT_EQ(ReadAll(kLaunch), kOther);
    ExpectRemoved();
}

void PrintTo(const UpgradeRun& run, std::ostream* out) {
    *out << run.name;
}

INSTANTIATE_TEST_SUITE_P(Examples, MsiUpgradeTest,
                         ::testing::Values(UpgradeRun{"Succeeds", false},
                                           UpgradeRun{"RegistrationFails", true}),
                         [](const auto& info) { return info.param.name; });

// A repair of the installed package runs no Brelmont at all: msiexec runs a per-machine package's
// deferred actions as the system account even when a standard user asks for the repair, and
// the registration has nothing to mend that the install did not do.
TEST_F(InstallerFixture, MsiRepairRunsNoBrelmont) {
    InstallKelvane(kKelvaneDir, kLaunch);
    const std::optional<DWORD> installed = Msiexec("/i", kMsi12, true);
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    ASSERT_EQ(*installed, 0u) << ReadAll(kLog).value_or("(no session log)");
    const std::optional<std::string> logBefore = ReadAll(kLog);

    // A repair of every file and registry value, as "msiexec /fa" asks for one.
    const std::optional<DWORD> repaired =
        Msiexec("/i", kMsi12, true, {}, "REINSTALL=ALL REINSTALLMODE=vomus");
    ASSERT_TRUE(repaired.has_value()) << "the repair was still running";
    EXPECT_EQ(*repaired, 0u);
    EXPECT_EQ(ReadAll(kLog), logBefore) << "Brelmont ran during the repair";
    EXPECT_EQ(ReadAll(kLaunch), Registered(kSample));
}

// A registration that fails (no Kelvane) fails the whole MSI transaction: Windows' msiexec undoes
// the files and registry values it had put in place and reports 1603.
TEST_F(InstallerFixture, MsiFailedRegistrationRollsBack) {
    if (RunsUnderWine()) {
        GTEST_SKIP() << "Wine's msiexec reports 1627, not 1603, for a failed action";
    }
    WriteAll(kLaunch, kOther);
    const std::optional<DWORD> installed = Msiexec("/i", kMsi12, true);
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    EXPECT_EQ(*installed, 1603u);
    EXPECT_FALSE(fs::exists(kInstallDir / "Brelmont.exe")) << "the files stayed";
    EXPECT_FALSE(RegistryText(kAddonKey, "ProductCode").has_value()) << "the registry stayed";
    EXPECT_EQ(ReadAll(kLaunch), kOther);
}

// An install folder with a comma in its name could not be handed to Brelmont: the installers
// refuse it before anything is installed.
struct CommaRun {
    std::string name;
    Package package;
    bool silent;
};

class CommaFolderTest : public InstallerFixture, public ::testing::WithParamInterface<CommaRun> {};

TEST_P(CommaFolderTest, IsRefused) {
    const CommaRun& run = GetParam();
    InstallKelvane(kKelvaneDir, kLaunch);
    const fs::path folder = "C:\\Program Files\\Sample,Addon";

    std::optional<DWORD> installed;
    if (run.package == Package::Msi) {
        installed = Msiexec("/i", kMsi12, run.silent, {},
                            "INSTALLFOLDER=" + Quoted(folder.string() + "\\"));
    } else if (run.silent) {
        installed = NsisSetup("/S /D=" + folder.string());
    } else {
        const fs::path setup = TestProgramDirectory() / "SampleSetup.exe";
        RunningProgram step(setup.string(), Quoted(setup) + " /D=" + folder.string());
        PressInstallOnFolderPage();
        const HWND box = WaitForWindow(step.Id(), "#32770", kNsisCaption);
        ASSERT_NE(box, nullptr) << "no box refusing the folder";
        EXPECT_NE(WindowText(::GetDlgItem(box, 0xFFFF)).find("comma"), std::string::npos);
        Press(box, FindButton(box, "OK"));
        EXPECT_TRUE(WaitUntilGone(box));
        // Still on the folder page; the person gives up.
        Answer(kNsisFolderPage, "Cancel");
        installed = step.WaitForExit(kInstallerWait);
    }
    ASSERT_TRUE(installed.has_value()) << "the install was still running";
    EXPECT_NE(*installed, 0u);
    if (run.package == Package::Nsis && run.silent) {
        EXPECT_EQ(*installed, 123u);  // ERROR_INVALID_NAME
    }
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(ReadAll(kLaunch), kOther);
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(KeyExists(kAddonKey));
}

void PrintTo(const CommaRun& run, std::ostream* out) {
    *out << run.name;
}

INSTANTIATE_TEST_SUITE_P(Examples, CommaFolderTest,
                         ::testing::Values(CommaRun{"NsisSilent", Package::Nsis, true},
                                           CommaRun{"NsisAttended", Package::Nsis, false},
                                           CommaRun{"MsiSilent", Package::Msi, true}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace brelmont::win32::test
