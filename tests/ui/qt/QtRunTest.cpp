#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "TempFileSystem.h"
#include "UiScript.h"
#include "app/RunBrelmont.h"
#include "ui/qt/PathLookupDialog.h"
#include "ui/qt/QtFrontEnd.h"

namespace brelmont::qttest {
namespace {

const std::string kLoader = "C:\\Addon\\Sample.local";
const std::string kLaunch = "C:\\ProgramData\\Kelvane\\Launch.local";
const std::string kLog = "C:\\Brelmont\\logs\\Brelmont.log";
const std::string kProgramFiles = "C:\\Program Files\\Kelvane";
const std::string kProgramFilesX86 = "C:\\Program Files (x86)\\Kelvane";
const std::string kLoaderText = "[Sample-1.2]\r\nfirst setting line for Kelvane\r\n/ [EOA]\r\n";
const std::string kAdded = "Added this Addon to Launch.Local";

// A demo machine with Kelvane in the given locations and the Sample add-on's loader file.
struct Demo {
    explicit Demo(const std::vector<std::string>& kelvaneDirectories) {
        for (const std::string& directory : kelvaneDirectories) {
            files.Put(directory + "\\Kelvane.conf", "DATADIR=C:\\ProgramData\\Kelvane\r\n");
        }
        files.Put(kLoader, kLoaderText);
        std::filesystem::create_directories(files.HostPath("C:\\ProgramData\\Kelvane"));
        files.Put(kLog, "");
        process.arguments = "install," + kLoader;
    }
    int Run(UiScript& script) {
        const int status = RunBrelmont({files, eventLog, clock, process}, ui);
        // Checked in a lambda of its own, as QVERIFY returns from the enclosing function.
        [&] { QVERIFY(script.Finished()); }();
        return status;
    }
    std::string Log() const { return files.Get(kLog).value_or(""); }

    QTemporaryDir root;
    TempFileSystem files{root.path().toStdString()};
    RecordingEventLog eventLog;
    FixedClock clock;
    FixedProcess process;
    qtui::QtFrontEnd ui{files};
};

std::vector<std::string> StatusUntilSearch() {
    return {"** Installing Add-on **", "Found loader File: " + kLoader,
            "Searching for installed Kelvane program... "};
}

std::vector<std::string> StatusFrom(const std::string& programPath, const std::string& outcome) {
    std::vector<std::string> lines = StatusUntilSearch();
    lines.insert(
        lines.end(),
        {"Program Path: " + programPath, "Retrieving Kelvane data directory...",
         "Data Path: C:\\ProgramData\\Kelvane", "Updating: " + kLaunch, "Reading: " + kLaunch,
         "Reading: " + kLoader, ">>>Finding: " + kLoaderText, "Reading: " + kLaunch, outcome});
    return lines;
}

// The main window once its status text holds `line`.
UiScript::Find WindowShowing(qtui::QtFrontEnd& ui, const std::string& line) {
    return [&ui, line]() -> QWidget* {
        return ui.StatusText().find(line + "\r\n") != std::string::npos ? &ui.Window() : nullptr;
    };
}

void CloseWindow(QWidget* window) {
    window->close();
}

enum class Choice { DoubleClickSecond, OkOnSecond, CancelThenGiveUp, EscapeThenBrowse };

}  // namespace
}  // namespace brelmont::qttest

Q_DECLARE_METATYPE(brelmont::qttest::Choice)

namespace brelmont::qttest {

class QtRunTest final : public QObject {
    Q_OBJECT

  private slots:
    void installWithYes() {
        Demo demo({kProgramFiles});
        std::vector<SeenBox> seen;
        UiScript script;
        script.Then(Modal<QMessageBox>(), Answer(QMessageBox::Yes, &seen));
        QCOMPARE(demo.Run(script), 0);
        QCOMPARE(seen.size(), std::size_t{1});
        QCOMPARE(seen[0].title, QStringLiteral("Integrate with Kelvane"));
        QCOMPARE(demo.files.Get(kLaunch).value_or("(none)"),
                 Lines({"", "[Sample-1.2]", "first setting line for Kelvane", "/ [EOA]", ""}));
        QCOMPARE(demo.ui.StatusText(), Lines(StatusFrom(kProgramFiles, kAdded)));
        QVERIFY(!demo.ui.Window().isVisible());
    }

    void installWithNo() {
        Demo demo({kProgramFiles});
        UiScript script;
        script.Then(Modal<QMessageBox>(), Answer(QMessageBox::No));
        QCOMPARE(demo.Run(script), 0);
        QVERIFY(!demo.files.Get(kLaunch));
        QCOMPARE(demo.ui.StatusText(),
                 Lines({"** Installing Add-on **", "Found loader File: " + kLoader}));
    }

    void closingDuringPauseEndsTheRun() {
        Demo demo({kProgramFiles});
        UiScript script;
        script.Then(Modal<QMessageBox>(), Answer(QMessageBox::Yes))
            .Then(WindowShowing(demo.ui, StatusUntilSearch().back()), CloseWindow);
        QCOMPARE(demo.Run(script), 6);
        QCOMPARE(demo.ui.StatusText(), Lines(StatusUntilSearch()));
        QVERIFY(demo.Log().find("Found loader file: ") != std::string::npos);
        QVERIFY(demo.Log().find("Found Kelvane program directory") == std::string::npos);
        QVERIFY(!demo.files.Get(kLaunch));
    }

    void choiceAmongTwo_data() {
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("reachesOutcome");
        QTest::newRow("double-click") << Choice::DoubleClickSecond << 0 << true;
        QTest::newRow("OK") << Choice::OkOnSecond << 0 << true;
        QTest::newRow("Cancel, browse cancelled") << Choice::CancelThenGiveUp << 2 << false;
        QTest::newRow("Esc, browse chooses") << Choice::EscapeThenBrowse << 0 << true;
    }

    void choiceAmongTwo() {
        QFETCH(Choice, choice);
        QFETCH(bool, reachesOutcome);
        Demo demo({kProgramFiles, kProgramFilesX86});
        const bool browses =
            choice == Choice::CancelThenGiveUp || choice == Choice::EscapeThenBrowse;
        const std::string browsed = demo.files.HostPath(kProgramFilesX86);
        UiScript script;
        script.Then(Modal<QMessageBox>(), Answer(QMessageBox::Yes))
            .Then(Modal<qtui::PathLookupDialog>(), [choice](QWidget* dialog) {
                auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("LV"));
                const QPoint second = list->visualItemRect(list->topLevelItem(1)).center();
                if (choice == Choice::DoubleClickSecond) {
                    DoubleClick(list->viewport(), second);
                } else if (choice == Choice::OkOnSecond) {
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
                    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                                      Qt::LeftButton);
                } else if (choice == Choice::CancelThenGiveUp) {
                    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                                      Qt::LeftButton);
                } else {
                    QTest::keyClick(list, Qt::Key_Escape);
                }
            });
        std::vector<SeenBox> seen;
        if (browses) {
            script.Then(Modal<QMessageBox>(), Answer(QMessageBox::Ok, &seen))
                .Then(Modal<QFileDialog>(), [choice, browsed](QWidget* widget) {
                    auto* dialog = static_cast<QFileDialog*>(widget);
                    if (choice == Choice::CancelThenGiveUp) {
                        dialog->reject();
                    } else {
                        dialog->setDirectory(QString::fromStdString(browsed));
                        static_cast<QDialog*>(dialog)->accept();
                    }
                });
        }
        if (reachesOutcome) {
            // The outcome stands; closing the window now spares the test the last pause.
            script.Then(WindowShowing(demo.ui, kAdded), CloseWindow);
        } else {
            script.Then(Modal<QMessageBox>(), Answer(QMessageBox::Ok, &seen));
        }
        QTEST(demo.Run(script), "status");
        if (reachesOutcome) {
            const std::string programPath = browses ? browsed : kProgramFilesX86;
            QCOMPARE(demo.ui.StatusText(), Lines(StatusFrom(programPath, kAdded)));
        } else {
            QCOMPARE(demo.ui.StatusText(), Lines(StatusUntilSearch()));
            QCOMPARE(seen.back().text, QStringLiteral("No Kelvane program directory was selected.  "
                                                      "Verify that\nKelvane is correctly installed "
                                                      "or your selected path is correct."));
        }
    }
};

}  // namespace brelmont::qttest

QTEST_MAIN(brelmont::qttest::QtRunTest)
#include "QtRunTest.moc"
