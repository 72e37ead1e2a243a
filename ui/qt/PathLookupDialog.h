#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "platform/FrontEnd.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace brelmont::qtui {

// The dialog frmPathLookup in which the user picks one of several Kelvane program directories.
class PathLookupDialog final : public QDialog {
    Q_OBJECT

  public:
    PathLookupDialog(const platform::PathChoiceRequest& request, QWidget* owner);

    // How the dialog ended; Closed until OK, a double-click or Cancel says otherwise.
    const platform::PathChoice& Choice() const { return choice_; }

  protected:
    // Enter presses the button that has the focus, as on Windows; in the list it does nothing.
    void keyPressEvent(QKeyEvent* event) override;

  private slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void LV_DblClick(QTreeWidgetItem* item);

  private:
    void FillPathList(const platform::PathChoiceRequest& request);

    QLabel* Label1_;
    QTreeWidget* LV_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
    // The entries as the program gave them, so a chosen one comes back byte for byte.
    std::vector<std::string> entries_;
    platform::PathChoice choice_;
};

}  // namespace brelmont::qtui
