#pragma once

#include <QWidget>
#include <string>

class QCloseEvent;
class QEventLoop;
class QLabel;
class QTimer;

namespace brelmont::qtui {

// The main window frmBrelmont: the status label lblOut and the pause timer tmrPause.
class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The exact text is kept apart from the label, which shows its newest lines broken to fit,
    // so that the program reads back every byte it appended.
    void SetStatusText(const std::string& text);
    const std::string& StatusText() const { return statusText_; }

    // Waits at least `milliSeconds` in a nested event loop. False once the window has been closed,
    // during this wait or before it. A wait below 1 ms returns at once: it would never end.
    bool Pause(int milliSeconds);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private slots:
    void tmrPause_Timer();

  private:
    QLabel* lblOut_;
    QTimer* tmrPause_;
    QEventLoop* pauseLoop_ = nullptr;
    std::string statusText_;
    bool closed_ = false;
};

}  // namespace brelmont::qtui
