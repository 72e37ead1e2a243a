#include "UiScript.h"

#include <QPushButton>
#include <QTest>

namespace brelmont::qttest {

UiScript::UiScript() {
    poll_.setInterval(10);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
}

UiScript& UiScript::Then(Find find, Act act) {
    steps_.push_back({std::move(find), std::move(act)});
    poll_.start();
    return *this;
}

void UiScript::Poll() {
    // An action may spin a nested event loop, in which this timer keeps ticking.
    if (acting_ || steps_.empty()) {
        return;
    }
    QWidget* const widget = steps_.front().find();
    if (widget == nullptr) {
        return;
    }
    const Act act = std::move(steps_.front().act);
    steps_.pop_front();
    acting_ = true;
    act(widget);
    acting_ = false;
    if (steps_.empty()) {
        poll_.stop();
    }
}

UiScript::Act Answer(QMessageBox::StandardButton button, std::vector<SeenBox>* seen) {
    return [button, seen](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        if (seen != nullptr) {
            seen->push_back({box->windowTitle(), box->text(), box->icon(),
                             box->standardButton(box->defaultButton())});
        }
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    };
}

void DoubleClick(QWidget* widget, QPoint position) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

}  // namespace brelmont::qttest
