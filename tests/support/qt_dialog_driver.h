#pragma once
// Driving modal windows in GUI tests: answer a dialog once it shows, click a check box
// where a user clicks it, type a name into a file chooser.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWidgetAction>
#include <QtTest/QtTest>
#include <chrono>
#include <functional>
#include <memory>

namespace tessaline::testing {

// Clicks a check box on its indicator, as a user does.
inline void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Types name into the chooser (after picking the file type at index type, when given) and
// presses Enter, as a user does.
inline void ChooseInDialog(QFileDialog* dialog, const QString& name, int type = -1) {
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(types && edit);
    if (type >= 0) {
        types->setFocus();
        while (types->currentIndex() < type)
            QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(types->currentIndex(), type);
    }
    // A name in another folder: the user goes to that folder first.
    QString typed = name;
    if (QFileInfo(name).isAbsolute()) {
        dialog->setDirectory(QFileInfo(name).path());
        typed = QFileInfo(name).fileName();
    }
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(buttons);
    QPushButton* save = buttons->button(QDialogButtonBox::Save);
    QVERIFY(save && save->isEnabled());
    save->click();
}

inline QString NameInDialog(QFileDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return edit ? edit->text() : QString();
}

// The text of the one item of a show-password menu, as the user sees it.
inline QString ShownItem(QMenu* menu) {
    if (!menu || menu->actions().size() != 1)
        return QStringLiteral("<no single item>");
    auto* item = qobject_cast<QWidgetAction*>(menu->actions().constFirst());
    auto* label = item ? qobject_cast<QLabel*>(item->defaultWidget()) : nullptr;
    return label ? label->text() : QStringLiteral("<no label>");
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
// catch a later one. With `which`, only a window it accepts is answered; others are left
// to whoever waits for them.
template <typename T>
ModalWatch WhenModal(std::function<void(T&)> answer,
                     std::chrono::milliseconds within = std::chrono::seconds(10),
                     std::function<bool(T&)> which = {}) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    const auto deadline = std::chrono::steady_clock::now() + within;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, seen, deadline, which] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible() || (which && !which(*window))) {
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
