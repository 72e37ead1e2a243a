#include "ui/qt/MessageBoxes.h"

#include <QMessageBox>
#include <QRect>
#include <QScreen>

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
    CentreOver(box, owner);
    box.exec();
    return box.standardButton(box.clickedButton());
}

}  // namespace

void CentreOver(QWidget& widget, const QWidget* owner) {
    widget.adjustSize();
    QRect area;
    if (owner != nullptr && owner->isVisible()) {
        area = owner->frameGeometry();
    } else if (const QScreen* screen = widget.screen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    QRect place = widget.frameGeometry();
    place.moveCenter(area.center());
    widget.move(place.topLeft());
}

void ShowOkBox(QWidget* owner, const std::string& text, const std::string& title) {
    Show(owner, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool AskYesNo(QWidget* owner, const std::string& text, const std::string& title) {
    return Show(owner, text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

}  // namespace brelmont::qtui
