#pragma once
// Driving modal dialogs in GUI tests: act on a dialog once it shows, click a check box
// where a user clicks it.

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTimer>
#include <QtTest/QtTest>
#include <functional>

namespace tessaline::testing {

// Clicks a check box on its indicator, as a user does.
inline void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Runs act on the first modal window of type T once it is showing.
template <typename T>
void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            QPointer<T> guard(w);
            act(w);
            // A failed check inside act must not leave the test waiting on the dialog.
            if (guard && guard->isVisible())
                guard->reject();
        }
    });
    timer->start();
}

}  // namespace tessaline::testing
