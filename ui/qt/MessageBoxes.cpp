#include "ui/qt/MessageBoxes.h"

#include <QMessageBox>

#include "platform/FrontEnd.h"
#include "ui/qt/QtText.h"

namespace brelmont::qtui {
namespace {

QMessageBox::StandardButton Show(QWidget* owner, const std::string& text, const std::string& title,
                                 QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::NoIcon,
                    ToQString(title.empty() ? std::string(platform::kProgramName) : title),
                    ToDisplayText(text), buttons, owner);
    // Loader and path texts may hold "<", which the automatic format would take for markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.exec();
    return box.standardButton(box.clickedButton());
}

}  // namespace

void ShowOkBox(QWidget* owner, const std::string& text, const std::string& title) {
    Show(owner, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool AskYesNo(QWidget* owner, const std::string& text, const std::string& title) {
    return Show(owner, text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

}  // namespace brelmont::qtui
