#include "gui/app/lock_dialog_closer.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include "gui/views/card_dialog.h"

namespace tessaline {

namespace {

// More dialogs than any chain of dialogs the program opens: a window that will not close
// cannot keep the lock turning here.
constexpr int kMostWindows = 64;

void EmptyTexts(QWidget& window) {
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        edit->setText(QString());
    for (QPlainTextEdit* edit : window.findChildren<QPlainTextEdit*>())
        edit->clear();
    for (QTextEdit* edit : window.findChildren<QTextEdit*>())
        edit->clear();
    for (QMenu* menu : window.findChildren<QMenu*>())
        menu->clear();
}

}  // namespace

int CloseDialogsForLock(const std::function<void(CCardDialog&)>& keep) {
    for (int i = 0; i < kMostWindows; ++i) {
        QPointer<QWidget> popup = QApplication::activePopupWidget();
        if (popup.isNull())
            break;
        if (auto* menu = qobject_cast<QMenu*>(popup.data()))
            menu->clear();
        popup->close();
        if (popup && popup->isVisible())
            popup->hide();
    }
    int closed = 0;
    for (int i = 0; i < kMostWindows; ++i) {
        QPointer<QWidget> window = QApplication::activeModalWidget();
        if (window.isNull() || !window->isVisible())
            break;
        if (auto* editor = qobject_cast<CCardDialog*>(window.data()); editor && keep)
            keep(*editor);
        EmptyTexts(*window);
        if (auto* dialog = qobject_cast<QDialog*>(window.data()))
            dialog->reject();
        else
            window->close();
        if (window && window->isVisible())
            window->hide();
        ++closed;
    }
    return closed;
}

}  // namespace tessaline
