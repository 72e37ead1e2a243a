#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "TempFileSystem.h"
#include "UiScript.h"
#include "ui/qt/PathLookupDialog.h"
#include "ui/qt/QtFrontEnd.h"

namespace brelmont::qttest {
namespace {

using platform::PathChoiceEnd;

enum class Gesture {
    DoubleClickSecond,
    SelectSecondThenOk,
    OkWithoutSelection,
    EnterOnList,
    EnterOnOk,
    EnterOnCancel,
    Escape,
    WindowClose,
    Cancel,
};

const std::vector<std::string> kTwo{"C:\\Program Files\\Kelvane",
                                    "C:\\Program Files (x86)\\Kelvane"};

platform::PathChoiceRequest Request(std::vector<std::string> entries) {
    return {"Select Kelvane Program Path",
            "Found more than one Kelvane Programs Directory.\r\nDouble-click on the Program Path "
            "that you want to use.",
            "Directory Path", std::move(entries)};
}

template <class T>
T* Child(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

void SelectSecond(QTreeWidget* list) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(1)).center());
}

// Performs the gesture; one that must leave the dialog open notes whether it did, then cancels.
void Perform(Gesture gesture, QWidget* dialog, bool* stayedOpen) {
    auto* list = Child<QTreeWidget>(dialog, "LV");
    auto* ok = Child<QPushButton>(dialog, "cmdOK");
    switch (gesture) {
        case Gesture::DoubleClickSecond:
            DoubleClick(list->viewport(), list->visualItemRect(list->topLevelItem(1)).center());
            return;
        case Gesture::SelectSecondThenOk:
            SelectSecond(list);
            QTest::mouseClick(ok, Qt::LeftButton);
            return;
        case Gesture::OkWithoutSelection:
            QTest::mouseClick(ok, Qt::LeftButton);
            break;
        case Gesture::EnterOnList:
            SelectSecond(list);
            QTest::keyClick(list, Qt::Key_Return);
            break;
        case Gesture::EnterOnOk:
            SelectSecond(list);
            ok->setFocus();
            QTest::keyClick(ok, Qt::Key_Return);
            return;
        case Gesture::EnterOnCancel: {
            auto* cancel = Child<QPushButton>(dialog, "cmdCancel");
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Enter);
            return;
        }
        case Gesture::Escape:
            QTest::keyClick(list, Qt::Key_Escape);
            return;
        case Gesture::WindowClose:
            dialog->close();
            return;
        case Gesture::Cancel:
            break;
    }
    *stayedOpen = dialog->isVisible();
    QTest::mouseClick(Child<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
}

}  // namespace
}  // namespace brelmont::qttest

Q_DECLARE_METATYPE(brelmont::qttest::Gesture)
Q_DECLARE_METATYPE(brelmont::platform::PathChoiceEnd)

namespace brelmont::qttest {

class PathLookupDialogTest final : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        ui_ = std::make_unique<qtui::QtFrontEnd>(files_);
        ui_->ShowMainWindow();
    }
    void cleanup() { ui_.reset(); }

    void contents() {
        qtui::PathLookupDialog dialog(Request(kTwo), &ui_->Window());
        const auto* label = Child<QLabel>(&dialog, "Label1");
        QCOMPARE(label->text(),
                 QStringLiteral("Found more than one Kelvane Programs Directory.\nDouble-click on "
                                "the Program Path that you want to use."));
        for (const QString& line : label->text().split(QLatin1Char('\n'))) {
            QVERIFY(QFontMetrics(label->font()).horizontalAdvance(line) <= label->width());
        }
        auto* list = Child<QTreeWidget>(&dialog, "LV");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(0), QString::fromStdString(kTwo[1]));
        QVERIFY(list->isEnabled());
        // The list's viewport sits in the focus chain too; only tab stops count.
        const auto nextTabStop = [](QWidget* widget) {
            do {
                widget = widget->nextInFocusChain();
            } while ((widget->focusPolicy() & Qt::TabFocus) == 0);
            return widget;
        };
        QCOMPARE(nextTabStop(list), Child<QPushButton>(&dialog, "cmdCancel"));
        QCOMPARE(nextTabStop(nextTabStop(list)), Child<QPushButton>(&dialog, "cmdOK"));
    }

    // A keyboard user sees where the focus is: the first row current, nothing chosen yet.
    void firstRowCurrentNotSelected() {
        qtui::PathLookupDialog dialog(Request(kTwo), &ui_->Window());
        auto* list = Child<QTreeWidget>(&dialog, "LV");
        QCOMPARE(list->currentItem(), list->topLevelItem(0));
        QVERIFY(list->selectedItems().isEmpty());
    }

    void emptyListIsDisabled() {
        qtui::PathLookupDialog dialog(Request({}), &ui_->Window());
        QVERIFY(!Child<QTreeWidget>(&dialog, "LV")->isEnabled());
    }

    void endings_data() {
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<PathChoiceEnd>("end");
        QTest::addColumn<QString>("path");
        const QString second = QStringLiteral("C:\\Program Files (x86)\\Kelvane");
        QTest::newRow("double-click")
            << Gesture::DoubleClickSecond << PathChoiceEnd::Chosen << second;
        QTest::newRow("OK") << Gesture::SelectSecondThenOk << PathChoiceEnd::Chosen << second;
        QTest::newRow("OK, nothing selected")
            << Gesture::OkWithoutSelection << PathChoiceEnd::Cancelled << QString();
        QTest::newRow("Enter in list")
            << Gesture::EnterOnList << PathChoiceEnd::Cancelled << QString();
        // Enter presses the focused button, as on Windows.
        QTest::newRow("Enter on OK") << Gesture::EnterOnOk << PathChoiceEnd::Chosen << second;
        QTest::newRow("Enter on Cancel")
            << Gesture::EnterOnCancel << PathChoiceEnd::Cancelled << QString();
        QTest::newRow("Cancel") << Gesture::Cancel << PathChoiceEnd::Cancelled << QString();
        QTest::newRow("Esc") << Gesture::Escape << PathChoiceEnd::Closed << QString();
        QTest::newRow("window close") << Gesture::WindowClose << PathChoiceEnd::Closed << QString();
    }

    void endings() {
        QFETCH(Gesture, gesture);
        bool stayedOpen = true;
        UiScript script;
        script.Then(Modal<qtui::PathLookupDialog>(),
                    [&](QWidget* dialog) { Perform(gesture, dialog, &stayedOpen); });
        const platform::PathChoice choice = ui_->ChooseProgramPath(Request(kTwo));
        QVERIFY(script.Finished());
        QVERIFY(stayedOpen);
        QTEST(choice.end, "end");
        QTEST(QString::fromStdString(choice.path), "path");
    }

  private:
    TempFileSystem files_{"/nonexistent"};
    std::unique_ptr<qtui::QtFrontEnd> ui_;
};

}  // namespace brelmont::qttest

QTEST_MAIN(brelmont::qttest::PathLookupDialogTest)
#include "PathLookupDialogTest.moc"
