#pragma once
// The small button beside a password edit: it shows the typed password as the only item
// of a pop-up menu, just below the button's right edge, instead of unmasking the edit.

#include <QMenu>
#include <QPointer>
#include <QToolButton>

class QLineEdit;

namespace tessaline {

class CShowPasswordButton : public QToolButton {
    Q_OBJECT
public:
    explicit CShowPasswordButton(QLineEdit* edit, QWidget* parent = nullptr);

    // The menu the last click opened, while it is open.
    QMenu* ShownMenu() const { return menu_; }
    // The menu item's text for a password: every "&" doubled so that it shows literally.
    static QString MenuText(const QString& password);

signals:
    void MenuShown(QMenu* menu);

private:
    void ShowPassword();

    QLineEdit* edit_;
    QPointer<QMenu> menu_;
};

}  // namespace tessaline
