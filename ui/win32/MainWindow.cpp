#include "ui/win32/MainWindow.h"

#include <algorithm>
#include <cmath>

#include "ui/win32/Dpi.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/Placement.h"
#include "ui/win32/Resources.h"
#include "ui/win32/StatusLabel.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

constexpr int kClientWidth = 474;
constexpr int kClientHeight = 267;
constexpr RECT kLabel{8, 8, 8 + 457, 8 + 249};
constexpr UINT_PTR kPauseTimer = 1;
// Fixed size: a frame that cannot be dragged, and no maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(BRELMONT_ICON));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(BRELMONT_ICON), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindow::kClassName;
    // A second window in one process (the tests) finds the class there already.
    ::RegisterClassExW(&windowClass);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) {
    RegisterWindowClass(instance, &MainWindow::WindowProc);
    window_.Reset(::CreateWindowExW(0, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                    kClientWidth, kClientHeight, nullptr, nullptr, instance, this));
    lblOut_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                                0, 0, 0, window_.Get(), nullptr, instance, nullptr);
    LayOut(DpiOf(window_.Get()));
}

// The design's 96-DPI sizes at `dpi`: the window keeps its place, the label and its font grow.
void MainWindow::LayOut(UINT dpi) {
    const SIZE frame =
        FrameSize(Scaled(kClientWidth, dpi), Scaled(kClientHeight, dpi), kStyle, 0, dpi);
    ::SetWindowPos(window_.Get(), nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceLabel(dpi);
}

void MainWindow::PlaceLabel(UINT dpi) {
    // The new font is in use before the old one goes.
    UniqueFont font = MakeFont(L"Calibri", 9.75, dpi);
    ::SetWindowPos(lblOut_, nullptr, Scaled(kLabel.left, dpi), Scaled(kLabel.top, dpi),
                   Scaled(kLabel.right - kLabel.left, dpi), Scaled(kLabel.bottom - kLabel.top, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(lblOut_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    statusFont_ = std::move(font);
    ::SetWindowTextW(lblOut_, StatusLabelText(lblOut_, statusFont_.Get(), statusText_).c_str());
}

void MainWindow::Show() {
    // Centred on the screen: left to the default place, a system without a window manager (Wine
    // on a bare X display) puts it in the corner.
    CentreOver(window_.Get(), nullptr);
    ::ShowWindow(window_.Get(), SW_SHOWNORMAL);
    ::UpdateWindow(window_.Get());
}

void MainWindow::SetTitle(const std::string& title) {
    ::SetWindowTextW(window_.Get(), Wide(title).c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
    statusText_ = text;
    ::SetWindowTextW(lblOut_, StatusLabelText(lblOut_, statusFont_.Get(), text).c_str());
}

bool MainWindow::Pause(int milliSeconds) {
    if (closed_ || milliSeconds <= 0) {
        return !closed_;
    }
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const auto remaining = [&] {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        const double elapsed =
            static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
        return milliSeconds - elapsed;
    };
    // A window timer may tick a little early; re-arm for the rest so the wait lasts its full
    // time.
    for (double left = remaining(); !closed_ && left > 0; left = remaining()) {
        ticked_ = false;
        const UINT interval = static_cast<UINT>(std::max(1.0, std::ceil(left)));
        if (::SetTimer(window_.Get(), kPauseTimer, interval, nullptr) == 0) {
            // Without a timer nothing would end the wait.
            ::Sleep(interval);
            continue;
        }
        while (!ticked_ && !closed_) {
            MSG message{};
            const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                // The session is ending (WM_QUIT): leave the message for whoever waits next, and
                // end the program as if its window had been closed.
                if (got == 0) {
                    ::PostQuitMessage(static_cast<int>(message.wParam));
                }
                closed_ = true;
                break;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::KillTimer(window_.Get(), kPauseTimer);
    }
    return !closed_;
}

void MainWindow::Close() {
    closed_ = true;
    window_.Reset();
    lblOut_ = nullptr;
}

HWND MainWindow::OwnerHandle() const {
    return window_.Valid() && ::IsWindowVisible(window_.Get()) ? window_.Get() : nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return self != nullptr ? self->Handle(window, message, wParam, lParam)
                           : ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kPauseTimer) {
                tmrPause_Timer();
                return 0;
            }
            break;
        case WM_CLOSE:
            Form_Close(window);
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: take the size Windows suggests, then lay the
            // label out again at the new scale.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            PlaceLabel(HIWORD(wParam));
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::tmrPause_Timer() {
    ::KillTimer(window_.Get(), kPauseTimer);
    ticked_ = true;
}

void MainWindow::Form_Close(HWND window) {
    // Runs inside the message dispatch: only note the close and hide the window; the pause
    // returns and the program ends from there.
    closed_ = true;
    ::ShowWindow(window, SW_HIDE);
}

}  // namespace brelmont::win32
