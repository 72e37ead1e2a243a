#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace brelmont::qttest {

// Acts on the windows of a call that blocks the test (a run, a dialog): each step waits until its
// finder returns a widget, acts on it once, and hands on to the next step. Polls from whatever
// event loop is running.
class UiScript {
  public:
    using Find = std::function<QWidget*()>;
    using Act = std::function<void(QWidget*)>;

    UiScript();
    UiScript& Then(Find find, Act act);
    bool Finished() const { return steps_.empty(); }

  private:
    void Poll();

    struct Step {
        Find find;
        Act act;
    };
    std::deque<Step> steps_;
    QTimer poll_;
    bool acting_ = false;
};

// The modal widget on top when it is a T.
template <class T>
UiScript::Find Modal() {
    return [] { return qobject_cast<T*>(QApplication::activeModalWidget()); };
}

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton defaultButton;
};

// Notes what the box showed in `seen`, then clicks `button`.
UiScript::Act Answer(QMessageBox::StandardButton button, std::vector<SeenBox>* seen = nullptr);

// A double-click as the platform delivers it: QTest's own sends the double-click event alone.
void DoubleClick(QWidget* widget, QPoint position);

// Each line followed by CR LF.
std::string Lines(const std::vector<std::string>& lines);

}  // namespace brelmont::qttest
