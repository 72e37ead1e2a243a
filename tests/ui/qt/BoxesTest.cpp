#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

#include "TempFileSystem.h"
#include "UiScript.h"
#include "ui/qt/QtFrontEnd.h"

namespace brelmont::qttest {

class BoxesTest final : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        ui_ = std::make_unique<qtui::QtFrontEnd>(files_);
        ui_->ShowMainWindow();
    }
    void cleanup() { ui_.reset(); }

    void boxes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<bool>("result");
        QTest::newRow("OK, no title") << "ok"
                                      << "" << int(QMessageBox::Ok) << "Brelmont"
                                      << "first\nsecond" << int(QMessageBox::Ok) << false;
        QTest::newRow("OK, own title")
            << "ok"
            << "Launch.local Update" << int(QMessageBox::Ok) << "Launch.local Update"
            << "first\nsecond" << int(QMessageBox::Ok) << false;
        QTest::newRow("Yes") << "yesno"
                             << "Integrate with Kelvane" << int(QMessageBox::Yes)
                             << "Integrate with Kelvane"
                             << "first\nsecond" << int(QMessageBox::Yes) << true;
        QTest::newRow("No") << "yesno"
                            << "" << int(QMessageBox::No) << "Brelmont"
                            << "first\nsecond" << int(QMessageBox::Yes) << false;
        QTest::newRow("uncaught error")
            << "error"
            << "" << int(QMessageBox::Ok) << "Brelmont"
            << "Run-time error '53':\n\nfirst\nsecond" << int(QMessageBox::Ok) << false;
    }

    void boxes() {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(int, answer);
        std::vector<SeenBox> seen;
        UiScript script;
        script.Then(Modal<QMessageBox>(),
                    Answer(static_cast<QMessageBox::StandardButton>(answer), &seen));
        const std::string text = "first\r\nsecond";
        bool result = false;
        if (kind == "ok") {
            ui_->MessageBoxOk(text, title.toStdString());
        } else if (kind == "yesno") {
            result = ui_->MessageBoxYesNo(text, title.toStdString());
        } else {
            ui_->ReportUncaughtError(53, text);
        }
        QCOMPARE(seen.size(), std::size_t{1});
        QTEST(seen[0].title, "shownTitle");
        QTEST(seen[0].text, "shownText");
        QCOMPARE(seen[0].icon, QMessageBox::NoIcon);
        QTEST(int(seen[0].defaultButton), "defaultButton");
        QTEST(result, "result");
    }

    void browse_data() {
        QTest::addColumn<bool>("startExists");
        QTest::addColumn<bool>("accept");
        QTest::newRow("start there, accepted") << true << true;
        QTest::newRow("start there, cancelled") << true << false;
        QTest::newRow("start missing, accepted") << false << true;
    }

    void browse() {
        QFETCH(bool, startExists);
        QFETCH(bool, accept);
        QTemporaryDir root;
        TempFileSystem files(root.path().toStdString());
        const std::string start = "C:\\Program Files (x86)\\";
        const QString startHost = QDir::cleanPath(QString::fromStdString(files.HostPath(start)));
        if (startExists) {
            QVERIFY(QDir().mkpath(startHost));
        }
        const QString expectedStart = startExists ? startHost : QDir::homePath();
        const QString workingBefore = QDir::currentPath();
        QString shownTitle;
        QString shownStart;
        UiScript script;
        script.Then(Modal<QFileDialog>(), [&](QWidget* widget) {
            auto* dialog = static_cast<QFileDialog*>(widget);
            shownTitle = dialog->windowTitle();
            shownStart = dialog->directory().absolutePath();
            // QFileDialog's accept checks the choice as its Choose button would.
            accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
        });
        qtui::QtFrontEnd ui(files);
        const std::string chosen = ui.BrowseForDirectory(
            {"Select a directory", start, "Select Kelvane program directory", "Directories|*.~#~"});
        QVERIFY(script.Finished());
        QCOMPARE(shownTitle, QStringLiteral("Select a directory"));
        QCOMPARE(shownStart, expectedStart);
        QCOMPARE(QString::fromStdString(chosen), accept ? expectedStart : QString());
        QCOMPARE(QDir::currentPath(), workingBefore);
    }

    // Boxes open over the status window, not in a corner of the screen.
    void boxCentredOverTheMainWindow() {
        QPoint boxCentre;
        UiScript script;
        script.Then(Modal<QMessageBox>(), [&](QWidget* box) {
            boxCentre = box->frameGeometry().center();
            Answer(QMessageBox::Ok)(box);
        });
        ui_->MessageBoxOk("first\r\nsecond", "");
        QVERIFY(script.Finished());
        const QPoint windowCentre = ui_->Window().frameGeometry().center();
        // Within a few pixels: the box settles its size as it is shown.
        QVERIFY2((boxCentre - windowCentre).manhattanLength() <= 8,
                 qPrintable(QStringLiteral("box at %1,%2, window at %3,%4")
                                .arg(boxCentre.x())
                                .arg(boxCentre.y())
                                .arg(windowCentre.x())
                                .arg(windowCentre.y())));
    }

  private:
    TempFileSystem files_{"/nonexistent"};
    std::unique_ptr<qtui::QtFrontEnd> ui_;
};

}  // namespace brelmont::qttest

QTEST_MAIN(brelmont::qttest::BoxesTest)
#include "BoxesTest.moc"
