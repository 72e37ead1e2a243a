#include "ui/win32/MessageBoxes.h"

#include "platform/FrontEnd.h"
#include "ui/win32/Placement.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// The owner of the box being opened, for the hook that centres it. One box at a time.
thread_local HWND tBoxOwner = nullptr;
thread_local HHOOK tBoxHook = nullptr;

// MessageBox places itself in the middle of the screen; this moves it over its owner as it is
// activated, the first moment it has its size.
LRESULT CALLBACK CentreBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && tBoxHook != nullptr) {
        CentreOver(reinterpret_cast<HWND>(wParam), tBoxOwner);
        ::UnhookWindowsHookEx(tBoxHook);
        tBoxHook = nullptr;
        return 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

int Show(HWND owner, const std::string& text, const std::string& title, UINT buttons) {
    const std::string caption = title.empty() ? std::string(platform::kProgramName) : title;
    tBoxOwner = owner;
    tBoxHook = owner != nullptr
                   ? ::SetWindowsHookExW(WH_CBT, &CentreBox, nullptr, ::GetCurrentThreadId())
                   : nullptr;
    const int pressed = ::MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(),
                                      buttons | (owner == nullptr ? MB_TASKMODAL : 0));
    if (tBoxHook != nullptr) {
        ::UnhookWindowsHookEx(tBoxHook);
        tBoxHook = nullptr;
    }
    return pressed;
}

}  // namespace

void ShowOkBox(HWND owner, const std::string& text, const std::string& title) {
    Show(owner, text, title, MB_OK);
}

bool AskYesNo(HWND owner, const std::string& text, const std::string& title) {
    return Show(owner, text, title, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

}  // namespace brelmont::win32
