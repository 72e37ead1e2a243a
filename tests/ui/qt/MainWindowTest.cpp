#include <QElapsedTimer>
#include <QFontInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "TempFileSystem.h"
#include "UiScript.h"
#include "ui/qt/QtFrontEnd.h"

namespace brelmont::qttest {
namespace {

double ProcessCpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Counts the paints of one widget.
class PaintCounter final : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

}  // namespace

class MainWindowTest final : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        ui_ = std::make_unique<qtui::QtFrontEnd>(files_);
        ui_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&ui_->Window()));
    }
    void cleanup() { ui_.reset(); }

    void pauseLeavesTheProcessIdle() {
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QVERIFY(ui_->Pause(500));
        const double share = (ProcessCpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
        qInfo("CPU time during Pause(500): %.1f %% of wall time", share * 100.0);
        QVERIFY(share < 0.5);
    }

    void startsEmptyInTheStatusFont() {
        const auto* lblOut = ui_->Window().findChild<QLabel*>(QStringLiteral("lblOut"));
        QVERIFY(lblOut->text().isEmpty());
        // Calibri itself is rarely installed; its metric twin must stand in.
        QCOMPARE(QFontInfo(lblOut->font()).family(), QStringLiteral("Carlito"));
        QVERIFY(!ui_->Window().windowIcon().pixmap(32, 32).isNull());
    }

    void statusTextKeepsEveryByte() {
        const std::string text = "** Installing Add-on **\r\nA\rB\nC <b>x</b>\r\n";
        ui_->SetStatusText(text);
        QCOMPARE(ui_->StatusText(), text);
        auto* lblOut = ui_->Window().findChild<QLabel*>(QStringLiteral("lblOut"));
        QCOMPARE(lblOut->text(), QStringLiteral("** Installing Add-on **\nA\nB\nC <b>x</b>"));
        std::vector<std::string> many;
        for (int line = 1; line <= 30; ++line) {
            many.push_back("Status line " + std::to_string(line));
        }
        ui_->SetStatusText(Lines(many));
        QCOMPARE(ui_->StatusText(), Lines(many));
        const QStringList shown = lblOut->text().split(QLatin1Char('\n'));
        QCOMPARE(shown.back(), QStringLiteral("Status line 30"));
        QVERIFY(lblOut->heightForWidth(lblOut->width()) <= lblOut->height());
        // Only lines that do not fit leave: one more would overflow.
        const QString oneMore = QStringLiteral("Status line %1\n").arg(30 - shown.size());
        lblOut->setText(oneMore + lblOut->text());
        QVERIFY(lblOut->heightForWidth(lblOut->width()) > lblOut->height());
    }

    void longPathIsBrokenInsideTheLabel() {
        const std::string path =
            "C:\\Addons\\VeryLongVendorName_Professional_Edition_2024\\"
            "SubFolderWithAnotherRatherLongName\\Sample_Addon_Loader_File_With_Long_Name.local";
        const std::string text =
            Lines({"** Installing Add-on **", "Found loader File: " + path, "Searching"});
        ui_->SetStatusText(text);
        QCOMPARE(ui_->StatusText(), text);
        const auto* lblOut = ui_->Window().findChild<QLabel*>(QStringLiteral("lblOut"));
        const QStringList shown = lblOut->text().split(QLatin1Char('\n'));
        QVERIFY2(shown.size() > 4, qPrintable(lblOut->text()));
        QCOMPARE(shown.front(), QStringLiteral("** Installing Add-on **"));
        QCOMPARE(shown[1], QStringLiteral("Found loader File:"));
        QCOMPARE(shown.mid(2, shown.size() - 3).join(QString()).toStdString(), path);
        QCOMPARE(shown.back(), QStringLiteral("Searching"));
        // Where the label itself puts the text: inside its rectangle, and broken nowhere else.
        const QRect landed = lblOut->fontMetrics().boundingRect(
            lblOut->contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
            lblOut->text());
        QVERIFY(lblOut->contentsRect().contains(landed));
        QCOMPARE(lblOut->heightForWidth(lblOut->width()), lblOut->heightForWidth(1 << 20));
    }

    void twoPausesEachWaitTheirFullTime() {
        for (int round = 0; round < 2; ++round) {
            QElapsedTimer wall;
            wall.start();
            QVERIFY(ui_->Pause(500));
            QVERIFY2(wall.elapsed() >= 500 && wall.elapsed() < 1500,
                     qPrintable(QString::number(wall.elapsed())));
        }
    }

    void statusLinePaintedDuringPause() {
        auto* lblOut = ui_->Window().findChild<QLabel*>(QStringLiteral("lblOut"));
        PaintCounter counter;
        lblOut->installEventFilter(&counter);
        ui_->SetStatusText("Searching for installed Kelvane program... \r\n");
        QCOMPARE(counter.paints, 0);
        QVERIFY(ui_->Pause(300));
        QVERIFY(counter.paints > 0);
    }

    void closingEndsThisAndEveryLaterPause() {
        QTimer::singleShot(100, &ui_->Window(), [this] { ui_->Window().close(); });
        QElapsedTimer wall;
        wall.start();
        QVERIFY(!ui_->Pause(3000));
        QVERIFY(wall.elapsed() < 1000);
        wall.restart();
        QVERIFY(!ui_->Pause(500));
        QVERIFY(wall.elapsed() < 100);
    }

  private:
    TempFileSystem files_{"/nonexistent"};
    std::unique_ptr<qtui::QtFrontEnd> ui_;
};

}  // namespace brelmont::qttest

QTEST_MAIN(brelmont::qttest::MainWindowTest)
#include "MainWindowTest.moc"
