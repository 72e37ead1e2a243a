// End-to-end runs of the real Brelmont.exe on a desktop (under Wine and Xvfb in CI): the test
// answers its boxes and dialogs through their windows, then checks the exit status, Launch.local
// and the session log beside the program.

#include <gtest/gtest.h>
// commctrl.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hosts/win32/UniqueHandle.h"
#include "hosts/win32/Wine.h"
#include "tests/programs/windows/TestFiles.h"
#include "tests/programs/windows/WindowDriver.h"
#include "tests/testkit/ScratchDirectory.h"
#include "win32/WideText.h"

namespace brelmont::win32::test {
namespace {

namespace fs = std::filesystem;

const std::string kMainTitle = "Brelmont v3.3.6";
const std::string kProgramFiles = "C:\\Program Files\\Kelvane";
const std::string kProgramFilesX86 = "C:\\Program Files (x86)\\Kelvane";
const std::string kRoot = "C:\\BrelmontGuiRuns";
const std::string kDataA = kRoot + "\\Data A";
const std::string kDataB = kRoot + "\\Data B";
// Blanks in the loader's path, and the argument quoted as installers do.
const std::string kLoader = kRoot + "\\My Addon\\Sample.local";

const std::string kSample = "[Sample-1.2]\r\nrun=C:\\Addons\\Sample\\sample.exe\r\n/ [EOA]\r\n";
const std::string kOther = "[Other-3.0]\r\nsetting line of another add-on\r\n/ [EOA]\r\n";

std::string ProgramDirectory() {
    return ProgramUnderTest().parent_path().string();
}

// What the user does while the program runs, through its windows.
class User {
  public:
    explicit User(DWORD processId) : processId_(processId) {}

    HWND Window(const std::string& className, const std::string& title) {
        const HWND window = WaitForWindow(processId_, className, title);
        EXPECT_NE(window, nullptr) << "no window \"" << title << "\" of class " << className;
        return window;
    }

    // Presses a button of a message box or dialog and waits until it has gone.
    void Answer(const std::string& title, const std::string& button) {
        const HWND box = Window("#32770", title);
        ASSERT_NE(box, nullptr);
        const HWND pressed = FindButton(box, button);
        ASSERT_NE(pressed, nullptr) << "no button " << button << " in \"" << title << "\"";
        Press(box, pressed);
        EXPECT_TRUE(WaitUntilGone(box)) << "\"" << title << "\" stayed after " << button;
    }

    HWND PathDialog() { return Window("#32770", "Select Kelvane Program Path"); }

    // The pick list cancelled, and the box that then announces the browse acknowledged.
    void CancelPickList() {
        Answer("Select Kelvane Program Path", "Cancel");
        Answer("Brelmont", "OK");
    }

    // Cancels the browse dialog and waits until it has gone.
    void CancelBrowse() {
        const HWND browse = Window("#32770", "Select a directory");
        ASSERT_NE(browse, nullptr);
        ::PostMessageA(browse, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(WaitUntilGone(browse)) << "the browse dialog stayed after Cancel";
    }

    // Types `text` into the browse dialog's name box and presses Save; the dialog.
    HWND SaveInBrowse(const std::string& text) {
        const HWND browse = Window("#32770", "Select a directory");
        const HWND name =
            browse != nullptr ? FindDescendant(::GetDlgItem(browse, 0x47c), "Edit") : nullptr;
        EXPECT_NE(name, nullptr) << "no name box in the browse dialog";
        if (name != nullptr) {
            ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            ::PostMessageA(browse, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        return browse;
    }

    bool ShowsAnyWindow() const { return test::ShowsAnyWindow(processId_); }
    bool Ended() const {
        const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId_);
        if (process == nullptr) {
            return true;
        }
        const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        ::CloseHandle(process);
        return ended;
    }

  private:
    DWORD processId_;
};

HWND ListOf(HWND dialog) {
    return ::FindWindowExA(dialog, nullptr, WC_LISTVIEWA, nullptr);
}

LRESULT SelectedEntry(HWND list) {
    return ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                          MAKELPARAM(LVNI_SELECTED, 0));
}

// Enter, and OK without a selected entry, leave the dialog open.
void ExpectStillOpen(HWND dialog, const char* after) {
    ::Sleep(400);
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "the path dialog closed after " << after;
}

struct GuiRun {
    std::string name;
    std::string action;
    std::vector<std::string> programDirectories;  // each with a Kelvane.conf naming its data dir
    std::string launchBefore;                     // in every data directory
    std::function<void(User&)> user;
    DWORD exitStatus;
    std::vector<std::string> launchAfter;  // per program directory, in order
    std::vector<std::string> logLines;     // in the run's part of the session log, in order
    bool readOnlyLaunch = false;           // Launch.local marked read-only beforehand
    bool unattended = false;               // run with BRELMONT_UNATTENDED=1
    DWORD logPixels = 0;                   // the screen's dots per inch for the run; 0: as set
};

// Sets the screen's dots per inch that programs started from now on see (Wine reads it from the
// registry as each program starts); 0 takes the setting away again.
void SetLogPixels(DWORD dpi) {
    HKEY desktop = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &desktop, nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (dpi == 0) {
        ::RegDeleteValueA(desktop, "LogPixels");
    } else {
        ::RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                         sizeof dpi);
    }
    ::RegCloseKey(desktop);
}

// The main window's client size and its status label's place (left, top, width, height).
void ExpectMainWindowLayout(User& user, SIZE expectedClient, RECT expectedLabel) {
    const HWND main = user.Window("frmBrelmont", kMainTitle);
    ASSERT_NE(main, nullptr);
    const SIZE client = ClientSize(main);
    EXPECT_EQ(client.cx, expectedClient.cx);
    EXPECT_EQ(client.cy, expectedClient.cy);
    const HWND label = ::FindWindowExA(main, nullptr, "Static", nullptr);
    ASSERT_NE(label, nullptr);
    const RECT place = PlaceInParent(label);
    EXPECT_EQ(place.left, expectedLabel.left);
    EXPECT_EQ(place.top, expectedLabel.top);
    EXPECT_EQ(place.right - place.left, expectedLabel.right);
    EXPECT_EQ(place.bottom - place.top, expectedLabel.bottom);
}

std::string DataDirectoryOf(std::size_t index) {
    return index == 0 ? kDataA : kDataB;
}

const std::vector<GuiRun>& Runs() {
    static const std::vector<GuiRun> runs{
        {"InstallWithYes",
         "install",
         {kProgramFiles},
         kOther,
         [](User& user) {
             ExpectMainWindowLayout(user, {474, 267}, {8, 8, 457, 249});
             user.Answer("Integrate with Kelvane", "Yes");
         },
         0,
         {kOther + "\r\n" + kSample + "\r\n"},
         {"Found loader file: " + kLoader, "Found Kelvane program directory at " + kProgramFiles,
          "Starting Update to " + kDataA + "\\Launch.local",
          "Update outcome: Added this Addon to Launch.Local"}},
        {"InstallWithNo",
         "install",
         {kProgramFiles},
         kOther,
         [](User& user) { user.Answer("Integrate with Kelvane", "No"); },
         0,
         {kOther},
         {"Setting up as a stand-alone program"}},
        {"SecondOfTwoChosenWithOk",
         "install",
         {kProgramFiles, kProgramFilesX86},
         kOther,
         [](User& user) {
             user.Answer("Integrate with Kelvane", "Yes");
             const HWND dialog = user.PathDialog();
             ASSERT_NE(dialog, nullptr);
             const SIZE client = ClientSize(dialog);
             EXPECT_EQ(client.cx, 373);
             EXPECT_EQ(client.cy, 221);
             const HWND list = ListOf(dialog);
             const HWND ok = FindButton(dialog, "OK");
             const HWND cancel = FindButton(dialog, "Cancel");
             ASSERT_TRUE(list != nullptr && ok != nullptr && cancel != nullptr);
             for (const auto& [control, expected] :
                  {std::pair{list, RECT{8, 48, 361, 185}}, std::pair{ok, RECT{224, 192, 289, 217}},
                   std::pair{cancel, RECT{296, 192, 361, 217}}}) {
                 const RECT place = PlaceInParent(control);
                 EXPECT_TRUE(::EqualRect(&place, &expected))
                     << WindowText(control) << " at " << place.left << "," << place.top << " to "
                     << place.right << "," << place.bottom;
             }
             EXPECT_EQ(::GetNextDlgTabItem(dialog, list, FALSE), cancel);
             EXPECT_EQ(::GetNextDlgTabItem(dialog, cancel, FALSE), ok);
             const LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
             EXPECT_EQ(style & (LVS_TYPEMASK | LVS_NOCOLUMNHEADER | LVS_EDITLABELS),
                       LVS_REPORT | LVS_NOCOLUMNHEADER);
             EXPECT_TRUE(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
                         LVS_EX_FULLROWSELECT);
             EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
             Press(dialog, ok);
             ExpectStillOpen(dialog, "OK without a selected entry");
             PressKey(list, VK_END);
             EXPECT_TRUE(WaitFor([list] { return SelectedEntry(list) == 1; }));
             PressKey(list, VK_RETURN);
             ExpectStillOpen(dialog, "Enter");
             Press(dialog, ok);
             EXPECT_TRUE(WaitUntilGone(dialog));
         },
         0,
         {kOther, kOther + "\r\n" + kSample + "\r\n"},
         {"Found Kelvane program directory at " + kProgramFilesX86,
          "Update outcome: Added this Addon to Launch.Local"}},
        {"EnterOnFocusedOkChooses",
         "install",
         {kProgramFiles, kProgramFilesX86},
         kOther,
         [](User& user) {
             user.Answer("Integrate with Kelvane", "Yes");
             const HWND dialog = user.PathDialog();
             ASSERT_NE(dialog, nullptr);
             const HWND list = ListOf(dialog);
             const HWND ok = FindButton(dialog, "OK");
             ASSERT_TRUE(list != nullptr && ok != nullptr);
             // The first row has the focus, and nothing is chosen yet.
             EXPECT_EQ(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                      MAKELPARAM(LVNI_FOCUSED, 0)),
                       0);
             EXPECT_EQ(SelectedEntry(list), -1);
             PressKey(list, VK_DOWN);
             EXPECT_TRUE(WaitFor([list] { return SelectedEntry(list) == 1; }));
             ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
             PressKey(ok, VK_RETURN);
             EXPECT_TRUE(WaitUntilGone(dialog));
         },
         0,
         {kOther, kOther + "\r\n" + kSample + "\r\n"},
         {"Found Kelvane program directory at " + kProgramFilesX86}},
        {"FirstOfTwoChosenWithDoubleClick",
         "uinstall",
         {kProgramFiles, kProgramFilesX86},
         kOther + kSample,
         [](User& user) {
             const HWND dialog = user.PathDialog();
             ASSERT_NE(dialog, nullptr);
             const HWND list = ListOf(dialog);
             // The first row has the focus from the start: Space selects it.
             PressKey(list, VK_SPACE);
             EXPECT_TRUE(WaitFor([list] { return SelectedEntry(list) == 0; }));
             ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 6));
             EXPECT_TRUE(WaitUntilGone(dialog));
         },
         0,
         {kOther, kOther + kSample},
         {"Found Kelvane program directory at " + kProgramFiles,
          "Update outcome: Addon settings removed from Launch.Local"}},
        {"CancelThenBrowseCancelled",
         "uinstall",
         {kProgramFiles, kProgramFilesX86},
         kOther + kSample,
         [](User& user) {
             user.CancelPickList();
             user.CancelBrowse();
             user.Answer("Brelmont", "OK");
         },
         2,
         {kOther + kSample, kOther + kSample},
         {"No Kelvane program directory was found or selected; quiting"}},
        {"EscThenBrowseSaved",
         "uinstall",
         {kProgramFiles, kProgramFilesX86},
         kOther + kSample,
         [](User& user) {
             const HWND dialog = user.PathDialog();
             ASSERT_NE(dialog, nullptr);
             PressKey(ListOf(dialog), VK_ESCAPE);
             EXPECT_TRUE(WaitUntilGone(dialog));
             user.Answer("Brelmont", "OK");
             // The folder typed into the name box; Save either ends the dialog there, or opens
             // the folder, and Save once more does.
             HWND browse = nullptr;
             for (const std::string& typed :
                  {kProgramFilesX86, std::string("Select Kelvane program directory")}) {
                 if (browse != nullptr && WaitUntilGone(browse, 1500)) {
                     break;
                 }
                 browse = user.SaveInBrowse(typed);
             }
             EXPECT_TRUE(WaitUntilGone(browse));
         },
         0,
         {kOther + kSample, kOther},
         {"Found Kelvane program directory at " + kProgramFilesX86,
          "Update outcome: Addon settings removed from Launch.Local"}},
        // A folder that does not exist, on a drive that does not exist or on one that does, is
        // refused by the dialog, not taken as the folder above it.
        {"BrowseRefusesMissingFolders",
         "uinstall",
         {kProgramFiles, kProgramFilesX86},
         kOther + kSample,
         [](User& user) {
             user.CancelPickList();
             for (const char* typed : {"Q:\\Outside\\Kelvane", "C:\\Outside\\Kelvane"}) {
                 const HWND browse = user.SaveInBrowse(typed);
                 user.Answer("Brelmont", "OK");
                 EXPECT_TRUE(::IsWindow(browse)) << typed;
             }
             user.CancelBrowse();
             user.Answer("Brelmont", "OK");
         },
         2,
         {kOther + kSample, kOther + kSample},
         {"No Kelvane program directory was found or selected; quiting"}},
        {"Uninstall",
         "uinstall",
         {kProgramFiles},
         kOther + kSample,
         [](User&) {},
         0,
         {kOther},
         {"Update outcome: Addon settings removed from Launch.Local"}},
        {"WindowClosedDuringPause",
         "uinstall",
         {kProgramFiles},
         kOther + kSample,
         [](User& user) {
             const HWND main = user.Window("frmBrelmont", kMainTitle);
             ASSERT_NE(main, nullptr);
             ::PostMessageA(main, WM_CLOSE, 0, 0);
         },
         6,
         {kOther + kSample},
         {"Starting Launch.local update process"}},
        {"ReadOnlyLaunchLocalIsKept",
         "uinstall",
         {kProgramFiles},
         kOther + kSample,
         [](User&) {},
         4,
         {kOther + kSample},
         {"Update outcome: Result = 70"},
         true},
        {"MainWindowScalesAt144Dpi",
         "install",
         {kProgramFiles},
         kOther,
         [](User& user) {
             // The 96-DPI design at 150 %.
             ExpectMainWindowLayout(user, {711, 401}, {12, 12, 686, 374});
             user.Answer("Integrate with Kelvane", "Yes");
         },
         0,
         {kOther + "\r\n" + kSample + "\r\n"},
         {"Update outcome: Added this Addon to Launch.Local"},
         false,
         false,
         144},
        {"UnattendedInstallShowsNothing",
         "install",
         {kProgramFiles},
         kOther,
         [](User& user) {
             // Watched until the program has ended, which it does in well under a second.
             for (int look = 0; look < 100 && !user.Ended(); ++look) {
                 EXPECT_FALSE(user.ShowsAnyWindow()) << "a window appeared";
                 ::Sleep(20);
             }
         },
         0,
         {kOther + "\r\n" + kSample + "\r\n"},
         {"[Integrate with Kelvane] Integrate this Add-on with Kelvane on this PC? /  / Press "
          "'Yes' to update Kelvane's Launch.Local file. / Press 'No' to run this program "
          "standalone. -> Yes",
          "Update outcome: Added this Addon to Launch.Local",
          "Ended with exit status 0: done as asked"},
         false,
         true},
    };
    return runs;
}

class GuiRunTest : public ::testing::TestWithParam<GuiRun> {
  protected:
    void SetUp() override {
        for (const std::string& install : {kProgramFiles, kProgramFilesX86}) {
            fs::remove(fs::path(install) / "Kelvane.conf");
        }
        RemoveTree(kRoot);
        WriteAll(kLoader, kSample);
        const GuiRun& run = GetParam();
        for (std::size_t i = 0; i < run.programDirectories.size(); ++i) {
            WriteAll(fs::path(run.programDirectories[i]) / "Kelvane.conf",
                     "[Paths]\r\nDATADIR=" + DataDirectoryOf(i) + "\r\n");
            const fs::path launch = fs::path(DataDirectoryOf(i)) / "Launch.local";
            WriteAll(launch, run.launchBefore);
            if (run.readOnlyLaunch) {
                ::SetFileAttributesA(launch.string().c_str(), FILE_ATTRIBUTE_READONLY);
            }
        }
    }
    void TearDown() override {
        std::error_code ignored;
        for (const std::string& install : {kProgramFiles, kProgramFilesX86}) {
            fs::remove(fs::path(install) / "Kelvane.conf", ignored);
        }
        RemoveTree(kRoot);
    }

    const fs::path logPath = fs::path(ProgramDirectory()) / "logs" / "Brelmont.log";
};

TEST_P(GuiRunTest, EndsAsTheUserAnswered) {
    const GuiRun& run = GetParam();
    const std::string logBefore = ReadAll(logPath).value_or("");
    const std::string executable = ProgramUnderTest().string();
    // The child takes this process's environment.
    ::SetEnvironmentVariableA("BRELMONT_UNATTENDED", run.unattended ? "1" : nullptr);
    if (run.logPixels != 0) {
        SetLogPixels(run.logPixels);
    }
    RunningProgram program(executable,
                           "\"" + executable + "\" \"" + run.action + "," + kLoader + "\"");
    ::SetEnvironmentVariableA("BRELMONT_UNATTENDED", nullptr);
    struct LogPixelsReset {
        bool set;
        ~LogPixelsReset() {
            if (set) {
                SetLogPixels(0);
            }
        }
    } const reset{run.logPixels != 0};
    User user(program.Id());
    run.user(user);
    const std::optional<DWORD> status = program.WaitForExit();
    ASSERT_TRUE(status.has_value()) << "still running";
    EXPECT_EQ(*status, run.exitStatus);

    for (std::size_t i = 0; i < run.launchAfter.size(); ++i) {
        EXPECT_EQ(ReadAll(fs::path(DataDirectoryOf(i)) / "Launch.local"), run.launchAfter[i])
            << "in " << DataDirectoryOf(i);
    }
    for (std::size_t i = 0; i < run.programDirectories.size(); ++i) {
        for (const auto& entry : fs::directory_iterator(DataDirectoryOf(i))) {
            EXPECT_EQ(entry.path().filename(), "Launch.local") << "left behind";
        }
    }

    const std::string log = ReadAll(logPath).value_or("");
    ASSERT_TRUE(log.starts_with(logBefore));
    const std::string session = log.substr(logBefore.size());
    EXPECT_NE(session.find(": Brelmont 3.3.6\r\n"), std::string::npos) << session;
    std::size_t at = 0;
    for (const std::string& line : run.logLines) {
        const std::size_t found = session.find(": " + line + "\r\n", at);
        EXPECT_NE(found, std::string::npos) << "no log line " << line << " in\n" << session;
        at = found == std::string::npos ? at : found;
    }
}

void PrintTo(const GuiRun& run, std::ostream* out) {
    *out << run.name;
}

INSTANTIATE_TEST_SUITE_P(Windows, GuiRunTest, ::testing::ValuesIn(Runs()),
                         [](const auto& info) { return info.param.name; });

// The status label's text once it holds every one of `lines`; what it holds at the deadline
// otherwise.
std::string StatusShowing(HWND main, const std::vector<std::string>& lines) {
    const HWND label = ::FindWindowExW(main, nullptr, L"Static", nullptr);
    std::string text;
    WaitFor([&] {
        text = WindowText(label);
        return std::ranges::all_of(lines, [&](const std::string& line) {
            return text.find(line + "\r\n") != std::string::npos;
        });
    });
    return text;
}

// Folders whose names no single ANSI code page holds: the program's own (and so its log's), the
// loader's and the data directory; and a data directory Kelvane.conf names in the ANSI code page.
TEST(UnicodeRunTest, InstallAndUninstallInFoldersOfAnyName) {
    using brelmont::testing::PathOf;
    const std::string root =
        kRoot + "\\\xD0\xAE\xD0\xBD\xD0\xB8\xD0\xBA\xD0\xBE\xD0\xB4 \xE7\xB5\xB1\xE4\xB8\x80";
    const std::string program = root +
                                "\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC"
                                "\xD0\xB0 \xE7\xA8\x8B\xE5\xBA\x8F";
    const std::string executable = program + "\\Brelmont.exe";
    const std::string loader = root +
                               "\\\xD0\x9E\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB5\xD1\x86 "
                               "\xE8\xA6\x8B\xE6\x9C\xAC\\Sample.local";
    const struct {
        std::string datadir;  // as Kelvane.conf holds it
        std::string folder;   // the folder it names, in UTF-8
        bool ansi;            // written in code page 1252
    } cases[] = {
        {root + "\\\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5 "
                "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF",
         root + "\\\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5 "
                "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF",
         false},
        {kRoot + "\\Donn\xE9"
                 "es",
         kRoot + "\\Donn\xC3\xA9"
                 "es",
         true},
    };
    const fs::path conf = fs::path(kProgramFiles) / "Kelvane.conf";
    for (const auto& item : cases) {
        if (!item.ansi || ::GetACP() == 1252) {
            SCOPED_TRACE(item.folder);
            RemoveTree(kRoot);
            fs::create_directories(PathOf(program + "\\logs"));
            fs::copy_file(ProgramUnderTest(), PathOf(executable));
            WriteAll(PathOf(loader), kSample);
            WriteAll(conf, "[Paths]\r\nDATADIR=" + item.datadir + "\r\n");
            const fs::path launch = PathOf(item.folder + "\\Launch.local");
            WriteAll(launch, kOther);
            {
                RunningProgram install(executable,
                                       "\"" + executable + "\" \"install," + loader + "\"");
                User user(install.Id());
                user.Answer("Integrate with Kelvane", "Yes");
                const std::vector<std::string> shown{"Found loader File: " + loader,
                                                     "Data Path: " + item.folder};
                const std::string status =
                    StatusShowing(user.Window("frmBrelmont", kMainTitle), shown);
                for (const std::string& line : shown) {
                    EXPECT_NE(status.find(line), std::string::npos) << line << " not in\n"
                                                                    << status;
                }
                EXPECT_EQ(install.WaitForExit(), 0u);
            }
            EXPECT_EQ(ReadAll(launch), kOther + "\r\n" + kSample + "\r\n");
            RunningProgram uninstall(executable,
                                     "\"" + executable + "\" \"uinstall," + loader + "\"");
            EXPECT_EQ(uninstall.WaitForExit(), 0u);
            EXPECT_EQ(ReadAll(launch), kOther);
            const std::string log = ReadAll(PathOf(program + "\\logs\\Brelmont.log")).value_or("");
            for (const std::string& line :
                 {"Found loader file: " + loader, "Found Kelvane data directory at " + item.folder,
                  "Starting Update to " + item.folder + "\\Launch.local"}) {
                EXPECT_NE(log.find(": " + line + "\r\n"), std::string::npos) << line << " not in\n"
                                                                             << log;
            }
        }
    }
    std::error_code ignored;
    fs::remove(conf, ignored);
    RemoveTree(kRoot);
}

// DLLs Windows loads by name while the windows and the browse dialog are up, none of them a
// known DLL that is always taken from System32: the theme engine, and what the common dialogs
// bring with them. A user who can write the program's folder can put files of these names there.
// (Wine resolves the delay-loaded imports of its own DLLs, msimg32 among them, past the search
// restriction, as Windows' delay-load helper does not; those are left out.)
const char* const kPlantedNames[] = {"uxtheme.dll", "winspool.drv", "compstui.dll"};

// Wine's load order for Brelmont.exe, with these DLLs preferred as native copies: Wine then
// searches for them as Windows does, the program's folder first. (A WINEDLLOVERRIDES in the
// child's environment would do the same, but Wine reads that one from the environment it was
// started in, which CreateProcess does not hand on.) Windows ignores the key.
class NativeDllsPreferred {
  public:
    NativeDllsPreferred() {
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                              nullptr) != ERROR_SUCCESS) {
            return;
        }
        for (const char* name : kPlantedNames) {
            // Wine's key: the file name, less ".dll" alone.
            std::string module = name;
            if (module.ends_with(".dll")) {
                module.resize(module.size() - 4);
            }
            ::RegSetValueExA(key_, module.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>("native,builtin"),
                             sizeof "native,builtin");
        }
    }
    NativeDllsPreferred(const NativeDllsPreferred&) = delete;
    NativeDllsPreferred& operator=(const NativeDllsPreferred&) = delete;
    ~NativeDllsPreferred() {
        if (key_ != nullptr) {
            ::RegCloseKey(key_);
            ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Brelmont.exe");
        }
    }

  private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Brelmont.exe\\DllOverrides";
    HKEY key_ = nullptr;
};

TEST(PlantedDllRunTest, DllsBesideTheProgramAreNotLoaded) {
    const fs::path folder = fs::path(kRoot) / "Writable by users";
    const fs::path executable = folder / "Brelmont.exe";
    RemoveTree(kRoot);
    fs::create_directories(folder / "logs");
    fs::copy_file(ProgramUnderTest(), executable);
    WriteAll(kLoader, kSample);
    const fs::path planted = TestProgramDirectory() / "planted.dll";
    for (const char* name : kPlantedNames) {
        fs::copy_file(planted, folder / name);
    }
    // The evidence works: loaded under a name no system DLL has, the DLL leaves its mark.
    fs::copy_file(planted, folder / "control.dll");
    ::LoadLibraryW((folder / "control.dll").c_str());
    ASSERT_TRUE(fs::exists(folder / "control.dll.loaded")) << "a loaded DLL leaves no mark";

    const NativeDllsPreferred overrides;
    RunningProgram program(executable.string(),
                           "\"" + executable.string() + "\" \"install," + kLoader + "\"");
    // No Kelvane anywhere: the boxes, then the browse dialog, which is cancelled. A box that never
    // came fails the test but still lets the marks below be read.
    User user(program.Id());
    user.Answer("Integrate with Kelvane", "Yes");
    user.Answer("Brelmont", "OK");
    user.CancelBrowse();
    user.Answer("Brelmont", "OK");
    EXPECT_EQ(program.WaitForExit(), 2u);
    for (const char* name : kPlantedNames) {
        EXPECT_FALSE(fs::exists(folder / (std::string(name) + ".loaded")))
            << "Brelmont.exe loaded the " << name << " planted beside it";
    }
    RemoveTree(kRoot);
}

// Started by a service or a deployment tool on a window station nobody sees, the program decides
// by itself that nobody can answer: it runs unattended without being told and ends.
TEST(InvisibleStationRunTest, RunsUnattendedWithoutBeingTold) {
    if (RunsUnderWine()) {
        GTEST_SKIP() << "Wine shows every window station on the same display";
    }
    RemoveTree(kRoot);
    WriteAll(kLoader, kSample);
    WriteAll(fs::path(kProgramFiles) / "Kelvane.conf", "[Paths]\r\nDATADIR=" + kDataA + "\r\n");
    WriteAll(fs::path(kDataA) / "Launch.local", kOther);
    const HWINSTA visible = ::GetProcessWindowStation();
    const HWINSTA station = ::CreateWindowStationW(L"BrelmontTestStation", 0, GENERIC_ALL, nullptr);
    ASSERT_NE(station, nullptr) << ::GetLastError();
    ASSERT_TRUE(::SetProcessWindowStation(station));
    const HDESK desktop =
        ::CreateDesktopW(L"BrelmontTestDesktop", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ::SetProcessWindowStation(visible);
    ASSERT_NE(desktop, nullptr) << ::GetLastError();
    ::SetEnvironmentVariableA("BRELMONT_UNATTENDED", nullptr);

    const std::wstring program = ProgramUnderTest().wstring();
    std::wstring command = L"\"" + program + L"\" \"install," + Wide(kLoader) + L"\"";
    std::wstring where = L"BrelmontTestStation\\BrelmontTestDesktop";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = where.data();
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &started))
        << ::GetLastError();
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    // A run that waited for an answer nobody can give would still be there.
    const bool ended = ::WaitForSingleObject(process.Get(), 60000) == WAIT_OBJECT_0;
    if (!ended) {
        ::TerminateProcess(process.Get(), 1);
    }
    DWORD status = 1;
    ::GetExitCodeProcess(process.Get(), &status);
    ::CloseDesktop(desktop);
    ::CloseWindowStation(station);
    EXPECT_TRUE(ended) << "it waited on the invisible station";
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(ReadAll(fs::path(kDataA) / "Launch.local").value_or(""),
              kOther + "\r\n" + kSample + "\r\n");
    fs::remove(fs::path(kProgramFiles) / "Kelvane.conf");
    RemoveTree(kRoot);
}

}  // namespace
}  // namespace brelmont::win32::test
