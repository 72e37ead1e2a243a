// The main window in-process: the pause, the status text and the close. Needs a desktop.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

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

// As the label draws: where its text lands, for its own word break and for none.
RECT Landed(HWND label, const std::wstring& text, UINT wordBreak) {
    RECT client{};
    ::GetClientRect(label, &client);
    RECT bounds{0, 0, client.right, 0};
    const HDC dc = ::GetDC(label);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
                wordBreak | DT_EXPANDTABS | DT_NOPREFIX | DT_CALCRECT);
    ::SelectObject(dc, previous);
    ::ReleaseDC(label, dc);
    return bounds;
}

TEST_F(MainWindowTest, LongPathIsBrokenInsideTheLabelWithNoLineAdded) {
    const std::string path =
        "C:\\Addons\\VeryLongVendorName_Professional_Edition_2024\\"
        "SubFolderWithAnotherRatherLongName\\Sample_Addon_Loader_File_With_Long_Name.local";
    window.SetStatusText("** Installing Add-on **\r\nFound loader File: " + path +
                         "\r\nSearching\r\n");
    const HWND label = ::FindWindowExA(window.OwnerHandle(), nullptr, "Static", nullptr);
    ASSERT_NE(label, nullptr);
    std::wstring shown(::GetWindowTextLengthW(label), L'\0');
    ::GetWindowTextW(label, shown.data(), static_cast<int>(shown.size()) + 1);
    std::vector<std::wstring> lines;
    for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 2) {
        end = shown.find(L"\r\n", start);
        lines.push_back(shown.substr(start, end - start));
    }
    ASSERT_GT(lines.size(), 4u) << window.StatusText();
    EXPECT_EQ(lines[1], L"Found loader File:");
    std::wstring joined;
    for (std::size_t line = 2; line + 1 < lines.size(); ++line) {
        joined += lines[line];
    }
    EXPECT_EQ(joined, std::wstring(path.begin(), path.end()));
    EXPECT_EQ(lines.back(), L"Searching");

    RECT client{};
    ::GetClientRect(label, &client);
    const RECT wrapped = Landed(label, shown, DT_WORDBREAK);
    EXPECT_LE(wrapped.right, client.right);
    EXPECT_LE(wrapped.bottom, client.bottom);
    // The label's own word break leaves every line as it is: none broken, none empty added.
    EXPECT_EQ(wrapped.bottom, Landed(label, shown, 0).bottom);
}

}  // namespace
}  // namespace brelmont::win32::test
