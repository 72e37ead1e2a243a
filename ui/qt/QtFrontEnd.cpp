#include "ui/qt/QtFrontEnd.h"

#include "support/StringLib.h"
#include "ui/common/UncaughtErrorText.h"
#include "ui/qt/DirectoryPrompt.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/PathLookupDialog.h"
#include "ui/qt/QtText.h"

namespace brelmont::qtui {

QtFrontEnd::QtFrontEnd(const platform::FileSystem& files) : files_(files) {}

QWidget* QtFrontEnd::Owner() {
    return window_.isVisible() ? &window_ : nullptr;
}

void QtFrontEnd::MessageBoxOk(const std::string& text, const std::string& title) {
    ShowOkBox(Owner(), text, title);
}

bool QtFrontEnd::MessageBoxYesNo(const std::string& text, const std::string& title) {
    return AskYesNo(Owner(), text, title);
}

void QtFrontEnd::ShowMainWindow() {
    // Centred on the screen, where the platform leaves the placing to the program.
    CentreOver(window_, nullptr);
    window_.show();
}

void QtFrontEnd::SetTitle(const std::string& title) {
    window_.setWindowTitle(ToQString(title));
}

void QtFrontEnd::SetStatusText(const std::string& text) {
    window_.SetStatusText(text);
}

std::string QtFrontEnd::StatusText() {
    return window_.StatusText();
}

bool QtFrontEnd::Pause(std::int16_t milliSeconds) {
    return window_.Pause(milliSeconds);
}

void QtFrontEnd::CloseMainWindow() {
    window_.close();
}

platform::PathChoice QtFrontEnd::ChooseProgramPath(const platform::PathChoiceRequest& request) {
    PathLookupDialog dialog(request, Owner());
    CentreOver(dialog, Owner());
    dialog.exec();
    return dialog.Choice();
}

std::string QtFrontEnd::BrowseForDirectory(const platform::BrowseRequest& request) {
    return qtui::BrowseForDirectory(Owner(), files_, request);
}

void QtFrontEnd::ReportUncaughtError(std::int32_t number, const std::string& description) {
    ShowOkBox(Owner(), ui::UncaughtErrorText(number, description, kCrLf), "");
}

}  // namespace brelmont::qtui
