#include "ui/win32/MessageBoxes.h"

#include "platform/FrontEnd.h"

namespace brelmont::win32 {
namespace {

int Show(HWND owner, const std::string& text, const std::string& title, UINT buttons) {
    const std::string caption = title.empty() ? std::string(platform::kProgramName) : title;
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(),
                         buttons | (owner == nullptr ? MB_TASKMODAL : 0));
}

}  // namespace

void ShowOkBox(HWND owner, const std::string& text, const std::string& title) {
    Show(owner, text, title, MB_OK);
}

bool AskYesNo(HWND owner, const std::string& text, const std::string& title) {
    return Show(owner, text, title, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

}  // namespace brelmont::win32
