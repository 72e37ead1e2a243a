#include "ui/qt/MainWindow.h"

#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <algorithm>

#include "ui/qt/ProgramIcon.h"
#include "ui/qt/StatusLabel.h"

namespace brelmont::qtui {
namespace {

QFont StatusFont() {
    QFont font(QStringLiteral("Calibri"));
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent), lblOut_(new QLabel(this)), tmrPause_(new QTimer(this)) {
    setObjectName(QStringLiteral("frmBrelmont"));
    setFixedSize(474, 267);
    setWindowIcon(ProgramIcon());

    lblOut_->setObjectName(QStringLiteral("lblOut"));
    lblOut_->setGeometry(8, 8, 457, 249);
    lblOut_->setFont(StatusFont());
    lblOut_->setTextFormat(Qt::PlainText);
    lblOut_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblOut_->setWordWrap(true);

    tmrPause_->setObjectName(QStringLiteral("tmrPause"));
    tmrPause_->setSingleShot(true);
    // A coarse timer may tick up to 5 % early; the wait must last its full time.
    tmrPause_->setTimerType(Qt::PreciseTimer);
    connect(tmrPause_, &QTimer::timeout, this, &MainWindow::tmrPause_Timer);
}

void MainWindow::SetStatusText(const std::string& text) {
    statusText_ = text;
    ShowStatusText(*lblOut_, statusText_);
}

bool MainWindow::Pause(int milliSeconds) {
    if (closed_ || milliSeconds <= 0) {
        return !closed_;
    }
    const QDeadlineTimer deadline(milliSeconds, Qt::PreciseTimer);
    QEventLoop loop;
    pauseLoop_ = &loop;
    // The timer's millisecond rounding could end a wait a fraction early; re-arm for the rest.
    while (!closed_ && !deadline.hasExpired()) {
        tmrPause_->start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        loop.exec();
    }
    tmrPause_->stop();
    pauseLoop_ = nullptr;
    return !closed_;
}

void MainWindow::tmrPause_Timer() {
    tmrPause_->stop();
    if (pauseLoop_ != nullptr) {
        pauseLoop_->quit();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Runs inside Qt's event dispatch: only note the close and let Pause return.
    closed_ = true;
    tmrPause_Timer();
    event->accept();
}

}  // namespace brelmont::qtui
