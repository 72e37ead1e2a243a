// The real program without a display: answers come on standard input, status lines and boxes go
// to standard output, Kelvane lives in a throw-away Wine prefix, and the exit status tells the end.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/reliability/Sandbox.h"

namespace {

namespace fs = std::filesystem;

const std::string kSample = "[Sample-1.2]\r\nrun=C:\\Addons\\sample.exe\r\n/ [EOA]\r\n";
const std::string kOther = "[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n";
const std::string kConf = "[Main]\r\nINSTANCE=1\r\nDATADIR=C:\\KelvaneData\r\n";

// The reliability runs' machine: a Wine prefix with Kelvane.conf (kConf) and the program in bin/.
using brelmont::reliability::Sandbox;
const auto Write = brelmont::reliability::WriteBytes;
const auto Read = brelmont::reliability::ReadBytes;

class ConsoleRun : public ::testing::Test {
  protected:
    ConsoleRun() {
        Write(loader_, kSample);
        // These runs start without Launch.local unless they write one.
        fs::remove(launch_);
    }

    // Runs `brelmont <argument>` with `answers` on standard input; the exit status. `unattended`
    // sets BRELMONT_UNATTENDED, `kelvaneDirectory` BRELMONT_KELVANE_DIR (any bytes but NUL).
    int Run(const std::string& argument, const std::string& answers = "", bool unattended = false,
            const std::optional<std::string>& kelvaneDirectory = std::nullopt) {
        Write(root_ / "stdin", answers);
        std::string variables = unattended ? "BRELMONT_UNATTENDED=1 " : "";
        if (kelvaneDirectory) {
            Write(root_ / "kelvane-dir", *kelvaneDirectory);
            variables += "BRELMONT_KELVANE_DIR=\"$(cat kelvane-dir)\" ";
        }
        const std::string command =
            "cd '" + root_.string() +
            "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM WINEPREFIX='" +
            (root_ / "prefix").string() + "' " + variables + "./bin/brelmont '" + argument +
            "' <stdin >stdout 2>stderr";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Out() const { return Read(root_ / "stdout"); }
    std::string Err() const { return Read(root_ / "stderr"); }
    std::string Log() const { return Read(root_ / "bin" / "logs" / "Brelmont.log"); }
    std::optional<std::string> Launch() const {
        if (!fs::exists(launch_)) {
            return std::nullopt;
        }
        return Read(launch_);
    }

    const Sandbox box_;
    const fs::path root_ = box_.root;
    const fs::path kelvane_ = box_.kelvane;
    const fs::path loader_ = box_.loader;
    const fs::path launch_ = box_.launch;
};

TEST_F(ConsoleRun, InstallAddsTheBlock) {
    EXPECT_EQ(Run("install," + loader_.string(), "y\n"), 0);

    EXPECT_EQ(Launch(), "\r\n" + kSample + "\r\n");
    const std::string out = Out();
    EXPECT_NE(out.find("Brelmont v3.3.6\n** Installing Add-on **\nFound loader File: " +
                       loader_.string() + "\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Program Path: C:\\Program Files\\Kelvane\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Updating: C:\\KelvaneData\\Launch.local\n"), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with("Added this Addon to Launch.Local\n")) << out;
    EXPECT_NE(Log().find(": Update outcome: Added this Addon to Launch.Local\r\n"),
              std::string::npos);
    EXPECT_EQ(Err(), "");
}

TEST_F(ConsoleRun, InstallReplacesAnOlderRevision) {
    Write(launch_, kOther + "\r\n[Sample-1.1]\r\nold line\r\n/ [EOA]\r\n");

    EXPECT_EQ(Run("install," + loader_.string(), "yes\n"), 0);

    EXPECT_EQ(Launch(), kOther + kSample);
    EXPECT_TRUE(Out().ends_with("Updating Launch.Local with the latest Addon setting\n"));
}

TEST_F(ConsoleRun, UninstallRemovesTheBlock) {
    Write(launch_, kSample + kOther);

    EXPECT_EQ(Run("uinstall," + loader_.string()), 0);

    EXPECT_EQ(Launch(), kOther);
    EXPECT_EQ(Out().find("[Y/n]"), std::string::npos);
    EXPECT_TRUE(Out().ends_with("Addon settings removed from Launch.Local\n"));
}

// The doubled backslash of a data directory written with a trailing one still finds the file.
TEST_F(ConsoleRun, DataDirectoryEndingInBackslash) {
    Write(kelvane_ / "Kelvane.conf", "DATADIR=C:\\KelvaneData\\\r\n");
    Write(launch_, kSample + kOther);

    EXPECT_EQ(Run("uinstall," + loader_.string()), 0);

    EXPECT_NE(Out().find("Updating: C:\\KelvaneData\\\\Launch.local\n"), std::string::npos);
    EXPECT_EQ(Launch(), kOther);
}

// Kelvane under Wine finds its files whatever case their names are written in, and so must the
// program: a second Launch.local beside Kelvane's launch.local would hide the other add-ons.
TEST_F(ConsoleRun, NamesInThePrefixAreFoundWhateverTheirCase) {
    Write(kelvane_ / "Kelvane.conf", "DATADIR=c:\\kelvanedata\r\n");
    const fs::path stored = launch_.parent_path() / "launch.local";
    Write(stored, kSample + kOther);

    EXPECT_EQ(Run("uinstall," + loader_.string()), 0);

    EXPECT_EQ(Read(stored), kOther);
    EXPECT_FALSE(fs::exists(launch_));
}

TEST_F(ConsoleRun, WrongCountIsRefusedWithUsage) {
    Write(launch_, kOther);

    EXPECT_EQ(Run("install"), 1);

    EXPECT_NE(Out().find("[Brelmont]\nOnly 1 Command Line arguments found.  Format is:\n1. install "
                         "| uinstall\n2. loader File Name\n"),
              std::string::npos)
        << Out();
    EXPECT_EQ(Launch(), kOther);
    EXPECT_NE(Log().find(": Missing Launch file on command line.\r\n"), std::string::npos);
}

// Every way out, with what it shows. (Closing the window has no console counterpart.)
// A wrong answer to the pick list says what is accepted before asking again.
TEST_F(ConsoleRun, PickListSaysWhatItAccepts) {
    const fs::path second = root_ / "prefix" / "drive_c" / "Program Files (x86)" / "Kelvane";
    fs::create_directories(second);
    Write(second / "Kelvane.conf", kConf);

    EXPECT_EQ(Run("uinstall," + loader_.string(), "7\nfirst\n\n\n"), 2);

    const std::string out = Out();
    const std::string hint = "Enter a number from 1 to 2, or nothing to cancel\n";
    const std::size_t first = out.find(hint);
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_NE(out.find(hint, first + hint.size()), std::string::npos) << out;
}

// A folder browsed to outside the prefix is shown and used in a form that leads back to it: Z:
// where the prefix has that drive, else the host path itself.
TEST_F(ConsoleRun, BrowsedFolderOutsideThePrefixIsFound) {
    const fs::path outside = root_ / "outside" / "Kelvane";
    fs::create_directories(outside);
    fs::rename(kelvane_ / "Kelvane.conf", outside / "Kelvane.conf");
    std::string backslashed = outside.string();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    for (const bool zDrive : {false, true}) {
        SCOPED_TRACE(zDrive ? "with Z:" : "without Z:");
        if (zDrive) {
            fs::create_directories(root_ / "prefix" / "dosdevices");
            fs::create_directory_symlink("/", root_ / "prefix" / "dosdevices" / "z:");
        }
        Write(launch_, kSample + kOther);

        EXPECT_EQ(Run("uinstall," + loader_.string(), outside.string() + "\n"), 0) << Out();

        const std::string shown = zDrive ? "Z:" + backslashed : outside.string();
        EXPECT_NE(Out().find("Program Path: " + shown + "\n"), std::string::npos) << Out();
        EXPECT_EQ(Launch(), kOther);
    }
}

// Text that a user put in Kelvane.conf or an installer's environment reaches the administrator's
// terminal, the session log and standard error as one line, its control characters escaped.
struct Foreign {
    const char* name;
    bool unattended;
    std::string conf;
    std::optional<std::string> kelvaneDirectory;
    int exit;
    std::string out;  // expected on standard output
    std::string err;  // on standard error
    std::string log;  // in the session log
};

void PrintTo(const Foreign& c, std::ostream* os) {
    *os << c.name;
}

class ForeignText : public ConsoleRun, public ::testing::WithParamInterface<Foreign> {};

TEST_P(ForeignText, IsShownEscaped) {
    const Foreign& c = GetParam();
    Write(kelvane_ / "Kelvane.conf", c.conf);

    EXPECT_EQ(Run("uinstall," + loader_.string(), "", c.unattended, c.kelvaneDirectory), c.exit);

    const std::string out = Out();
    const std::string err = Err();
    const std::string log = Log();
    EXPECT_NE(out.find(c.out), std::string::npos) << out;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    EXPECT_NE(log.find(c.log), std::string::npos) << log;
    for (const std::string* text : {&out, &err, &log}) {
        EXPECT_EQ(text->find_first_of("\x1B\x07"), std::string::npos) << *text;
        EXPECT_EQ(text->find("\nForged"), std::string::npos) << *text;
    }
}

// ESC sequences that would erase and rewrite the line above, set the title and fill the
// clipboard (OSC 52), and a line feed that would start a forged line.
const std::string kAttack = "\x1B[1A\x1B[2K\x1B]0;owned\x07\x1B]52;c;ZWNobw==\x07\nForged";
const std::string kShown = "\\x1B[1A\\x1B[2K\\x1B]0;owned\\x07\\x1B]52;c;ZWNobw==\\x07";

INSTANTIATE_TEST_SUITE_P(
    Attacks, ForeignText,
    ::testing::Values(
        // Kelvane.conf drops the LF of a line, as always: the rest is one escaped line.
        Foreign{"DataDirectoryAttended", false, "DATADIR=C:\\Data" + kAttack + "\r\n", std::nullopt,
                4, "Data Path: C:\\Data" + kShown + "Forged\n", "",
                ": Found Kelvane data directory at C:\\Data" + kShown + "Forged\r\n"},
        Foreign{"DataDirectoryUnattended", true, "DATADIR=C:\\Data" + kAttack + "\r\n",
                std::nullopt, 4, "", "",
                ": Found Kelvane data directory at C:\\Data" + kShown + "Forged\r\n"},
        Foreign{"KelvaneDirectoryAttended", false, kConf, "C:\\Nowhere" + kAttack, 3,
                "Could not find Kelvane.conf in directory C:\\Nowhere" + kShown + "\\x0AForged .\n",
                "",
                ": Found Kelvane program directory at C:\\Nowhere" + kShown + "\\x0AForged\r\n"},
        Foreign{"KelvaneDirectoryUnattended", true, kConf, "C:\\Nowhere" + kAttack, 3, "",
                "[Launch.local Update] Could not find Kelvane.conf in directory C:\\Nowhere" +
                    kShown + "\\x0AForged . / Please confirm",
                ": Found Kelvane program directory at C:\\Nowhere" + kShown + "\\x0AForged\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Unattended, the window that says why an edit was refused is never made: the session log and
// standard error say it instead, before the log's last line.
struct Refusal {
    const char* name;
    std::string action;
    std::string conf;
    std::string launch;
    std::string reason;
    std::string loader = kSample;
};

void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.name;
}

class UnattendedRefusal : public ConsoleRun, public ::testing::WithParamInterface<Refusal> {};

TEST_P(UnattendedRefusal, LogsItsReasonBeforeTheEnd) {
    const Refusal& c = GetParam();
    Write(kelvane_ / "Kelvane.conf", c.conf);
    Write(launch_, c.launch);
    Write(loader_, c.loader);

    EXPECT_EQ(Run(c.action + "," + loader_.string(), "", true), 4);

    const std::string log = Log();
    const std::size_t reason = log.find(": " + c.reason + "\r\n");
    EXPECT_NE(reason, std::string::npos) << log;
    EXPECT_LT(reason, log.find(": Ended with exit status 4: the edit of Launch.local failed\r\n"))
        << log;
    EXPECT_NE(Err().find(c.reason + "\n"), std::string::npos) << Err();
    EXPECT_EQ(Launch(), c.launch);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, UnattendedRefusal,
    ::testing::Values(
        Refusal{
            "LoneLfRemoval", "uinstall", kConf, "x\ny\r\n" + kSample,
            "Launch.local left unchanged: some of its lines end in LF alone (save it with CR LF "
            "line ends)"},
        Refusal{"LoaderWithoutEndLine", "install", kConf, kOther,
                "Launch.local left unchanged: the loader file has no end line (/ [EOA]) after its "
                "first line",
                "[Sample-1.2]\nrun=C:\\Addons\\sample.exe\n"},
        Refusal{"FolderNotLocked", "uinstall", "DATADIR=C:\\Missing\r\n", kSample,
                "Launch.local left unchanged: its folder could not be locked (Path not found)"}),
    [](const auto& info) { return std::string(info.param.name); });

struct End {
    const char* name;
    std::string action;
    std::optional<std::string> conf;  // none: Kelvane not installed
    std::string answers;
    int exit;
    std::string shown;  // on standard output or standard error
};

void PrintTo(const End& c, std::ostream* os) {
    *os << c.name;
}

class ConsoleEnds : public ConsoleRun, public ::testing::WithParamInterface<End> {};

TEST_P(ConsoleEnds, ExitStatus) {
    const End& c = GetParam();
    if (c.conf) {
        Write(kelvane_ / "Kelvane.conf", *c.conf);
    } else {
        fs::remove_all(kelvane_);
    }
    const std::string loader = c.exit == 1 ? (root_ / "Missing.local").string() : loader_.string();

    EXPECT_EQ(Run(c.action + "," + loader, c.answers), c.exit);

    const std::string shown = Out() + Err();
    EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
    EXPECT_EQ(Launch(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ConsoleEnds,
    ::testing::Values(End{"StandAlone", "install", kConf, "n\n", 0, "[Y/n] "},
                      End{"NoLoaderFile", "install", kConf, "", 1, "not found"},
                      End{"NoProgramDirectory", "uinstall", std::nullopt, "\n", 2,
                          "No Kelvane program directory was selected."},
                      End{"NoDataDirectory", "uinstall", "INSTANCE=1\r\n", "", 3,
                          "Could not find Kelvane.conf in directory C:\\Program Files\\Kelvane ."},
                      End{"EditFailed", "uinstall", "DATADIR=C:\\Missing\r\n", "", 4, "Result = "},
                      End{"UncaughtError", "uinstall",
                          "INSTANCE=abc\r\nDATADIR=C:\\KelvaneData\r\n", "", 5,
                          "Run-time error '-2147221491':\n\nType mismatch, Step = 3\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
