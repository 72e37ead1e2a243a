// The main window in-process: the pause, the status text and the close. Needs a desktop.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "ui/win32/MainWindow.h"

namespace brelmont::win32::test {
namespace {

using Clock = std::chrono::steady_clock;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() { window.Show(); }

    long long PauseMilliseconds(int milliSeconds, bool& returned) {
        const Clock::time_point start = Clock::now();
        returned = window.Pause(milliSeconds);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }

    MainWindow window{::GetModuleHandleA(nullptr)};
};

TEST_F(MainWindowTest, EachPauseWaitsItsFullTime) {
    for (const int milliSeconds : {500, 120, 120}) {
        bool open = false;
        const long long waited = PauseMilliseconds(milliSeconds, open);
        EXPECT_TRUE(open);
        EXPECT_GE(waited, milliSeconds);
        EXPECT_LT(waited, milliSeconds + 2000);
    }
}

TEST_F(MainWindowTest, ClosingEndsThePauseAndEveryLaterOne) {
    ::PostMessageA(window.OwnerHandle(), WM_CLOSE, 0, 0);
    bool open = true;
    // Wine without a window manager waits up to two seconds for a hidden window to be withdrawn.
    EXPECT_LT(PauseMilliseconds(10000, open), 5000);
    EXPECT_FALSE(open);
    EXPECT_EQ(window.OwnerHandle(), nullptr);
    EXPECT_FALSE(window.Pause(100));
}

TEST_F(MainWindowTest, StatusTextComesBackWholeWhileTheLabelShowsItsNewestLines) {
    const HWND label = ::FindWindowExA(window.OwnerHandle(), nullptr, "Static", nullptr);
    ASSERT_NE(label, nullptr);
    std::string text;
    for (int line = 1; line <= 40; ++line) {
        text += "status line " + std::to_string(line) + " & more\t\r\n";
        window.SetStatusText(text);
    }
    EXPECT_EQ(window.StatusText(), text);
    char shown[4096] = {};
    ::GetWindowTextA(label, shown, sizeof shown);
    const std::string label_text = shown;
    EXPECT_TRUE(label_text.starts_with("status line ")) << label_text;
    EXPECT_EQ(label_text.find("status line 1 "), std::string::npos) << "the first line still shows";
    EXPECT_TRUE(label_text.ends_with("status line 40 & more\t")) << label_text;
}

}  // namespace
}  // namespace brelmont::win32::test
