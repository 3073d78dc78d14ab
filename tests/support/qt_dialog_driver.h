#pragma once
// Driving modal windows in GUI tests: answer a dialog once it shows, click a check box
// where a user clicks it.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest/QtTest>
#include <chrono>
#include <functional>
#include <memory>

namespace tessaline::testing {

// Clicks a check box on its indicator, as a user does.
inline void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Tells whether the modal window a WhenModal call waited for came.
class ModalWatch {
public:
    ModalWatch() : seen_(std::make_shared<bool>(false)) {}
    explicit ModalWatch(std::shared_ptr<bool> seen) : seen_(std::move(seen)) {}
    bool Seen() const { return *seen_; }
    explicit operator bool() const { return Seen(); }

private:
    std::shared_ptr<bool> seen_;
};

// Runs answer on the next modal window of type T once it is showing, then closes the
// window if answer left it open (so a failed check inside answer cannot leave the test
// waiting on it). Looks for it for `within` at most, so a window that never comes cannot
// catch a later one.
template <typename T>
ModalWatch WhenModal(std::function<void(T&)> answer,
                     std::chrono::milliseconds within = std::chrono::seconds(10)) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    const auto deadline = std::chrono::steady_clock::now() + within;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, seen, deadline] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible()) {
            if (std::chrono::steady_clock::now() > deadline) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        *seen = true;
        QPointer<T> guard(window);
        answer(*window);
        if (guard && guard->isVisible()) {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
                dialog->reject();
            else
                guard->close();
        }
    });
    timer->start();
    return ModalWatch(seen);
}

}  // namespace tessaline::testing
