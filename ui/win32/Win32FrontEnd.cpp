#include "ui/win32/Win32FrontEnd.h"

#include "platform/Services.h"
#include "support/StringLib.h"
#include "ui/common/UncaughtErrorText.h"
#include "ui/win32/DirectoryPrompt.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/PathLookupDialog.h"

namespace brelmont::win32 {

Win32FrontEnd::Win32FrontEnd(HINSTANCE instance, const platform::FileSystem& files)
    : instance_(instance), files_(files), window_(instance) {}

void Win32FrontEnd::MessageBoxOk(const std::string& text, const std::string& title) {
    ShowOkBox(window_.OwnerHandle(), text, title);
}

bool Win32FrontEnd::MessageBoxYesNo(const std::string& text, const std::string& title) {
    return AskYesNo(window_.OwnerHandle(), text, title);
}

platform::PathChoice Win32FrontEnd::ChooseProgramPath(const platform::PathChoiceRequest& request) {
    PathLookupDialog dialog(instance_, request);
    return dialog.Run(window_.OwnerHandle());
}

std::string Win32FrontEnd::BrowseForDirectory(const platform::BrowseRequest& request) {
    return win32::BrowseForDirectory(window_.OwnerHandle(), request,
                                     files_.HostPath(request.initialDirectory));
}

void Win32FrontEnd::ReportUncaughtError(std::int32_t number, const std::string& description) {
    ShowOkBox(window_.OwnerHandle(), ui::UncaughtErrorText(number, description, kCrLf), "");
}

}  // namespace brelmont::win32
