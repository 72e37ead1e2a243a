#include "ui/qt/PathLookupDialog.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "ui/qt/QtText.h"

namespace brelmont::qtui {
namespace {

// The column is 100 twips narrower than the list, as the list was designed.
constexpr int kColumnMargin = 7;

QFont NamedFont(const QString& family, double points) {
    QFont font(family);
    font.setPointSizeF(points);
    return font;
}

// Where neither MS Sans Serif nor a metric twin is installed, the fallback runs wider: shrink the
// font until every line fits, as the label has room for two rows and no more.
QFont FittingFont(QFont font, const QString& text, int width) {
    const auto widest = [&text](const QFont& candidate) {
        const QFontMetrics metrics(candidate);
        int most = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            most = std::max(most, metrics.horizontalAdvance(line));
        }
        return most;
    };
    while (font.pointSizeF() > 6.0 && widest(font) > width) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    return font;
}

QPushButton* MakeButton(const QString& name, const QString& text, int left, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(left, 192, 65, 25);
    // No button is the default: Enter in the list must neither choose nor close. Enter on a
    // focused button presses it (the dialog's keyPressEvent).
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

PathLookupDialog::PathLookupDialog(const platform::PathChoiceRequest& request, QWidget* owner)
    : QDialog(owner),
      Label1_(new QLabel(this)),
      LV_(new QTreeWidget(this)),
      cmdOK_(MakeButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), 224, this)),
      cmdCancel_(MakeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), 296, this)) {
    setObjectName(QStringLiteral("frmPathLookup"));
    setModal(true);
    setWindowTitle(ToQString(request.caption));
    setFont(NamedFont(QStringLiteral("Arial"), 9.0));
    setFixedSize(373, 221);
    setWindowState(Qt::WindowNoState);

    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(16, 8, 345, 33);
    Label1_->setTextFormat(Qt::PlainText);
    Label1_->setText(ToDisplayText(request.label));
    Label1_->setFont(FittingFont(NamedFont(QStringLiteral("MS Sans Serif"), 9.75), Label1_->text(),
                                 Label1_->contentsRect().width()));

    LV_->setObjectName(QStringLiteral("LV"));
    LV_->setGeometry(8, 48, 353, 137);
    LV_->setFont(NamedFont(QStringLiteral("Arial"), 9.75));
    FillPathList(request);

    connect(cmdOK_, &QPushButton::clicked, this, &PathLookupDialog::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &PathLookupDialog::cmdCancel_Click);
    connect(LV_, &QTreeWidget::itemDoubleClicked, this, &PathLookupDialog::LV_DblClick);

    setTabOrder(LV_, cmdCancel_);
    setTabOrder(cmdCancel_, cmdOK_);
    LV_->setFocus();
    // The first row current but not selected: a keyboard user sees where the focus is, and Space
    // or Down selects it.
    if (LV_->topLevelItemCount() > 0) {
        LV_->selectionModel()->setCurrentIndex(LV_->model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
    }
}

void PathLookupDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PathLookupDialog::FillPathList(const platform::PathChoiceRequest& request) {
    LV_->setColumnCount(1);
    LV_->setHeaderLabels({ToQString(request.columnHeader)});
    LV_->setHeaderHidden(true);
    LV_->setRootIsDecorated(false);
    LV_->setItemsExpandable(false);
    LV_->setSelectionMode(QAbstractItemView::SingleSelection);
    LV_->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV_->setAllColumnsShowFocus(true);
    LV_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV_->setColumnWidth(0, LV_->width() - kColumnMargin);
    entries_ = request.entries;
    for (const std::string& entry : entries_) {
        LV_->addTopLevelItem(new QTreeWidgetItem(QStringList{ToQString(entry)}));
    }
    LV_->setEnabled(!entries_.empty());
}

void PathLookupDialog::cmdOK_Click() {
    const QList<QTreeWidgetItem*> selected = LV_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int row = LV_->indexOfTopLevelItem(selected.front());
    choice_ = {platform::PathChoiceEnd::Chosen, entries_.at(static_cast<std::size_t>(row))};
    accept();
}

void PathLookupDialog::cmdCancel_Click() {
    choice_ = {platform::PathChoiceEnd::Cancelled, {}};
    reject();
}

void PathLookupDialog::LV_DblClick(QTreeWidgetItem* item) {
    // The double-click has already made its entry the selected one.
    if (item != nullptr) {
        cmdOK_Click();
    }
}

}  // namespace brelmont::qtui
