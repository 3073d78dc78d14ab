#include "gui/views/password_reveal.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>

namespace tessaline {

namespace {

void ShowState(QAction& eye, bool shown) {
    eye.setIcon(QIcon(shown ? QStringLiteral(":/icons/hide_password.svg")
                            : QStringLiteral(":/icons/show_password.svg")));
    eye.setToolTip(shown ? QStringLiteral("Hide the password")
                         : QStringLiteral("Show the password"));
}

}  // namespace

QAction* AddPasswordReveal(QLineEdit& edit) {
    edit.setEchoMode(QLineEdit::Password);
    auto* eye = new QAction(&edit);
    eye->setObjectName(QStringLiteral("revealPassword"));
    eye->setCheckable(true);
    ShowState(*eye, false);
    edit.addAction(eye, QLineEdit::TrailingPosition);
    QLineEdit* field = &edit;
    QObject::connect(eye, &QAction::toggled, &edit, [field, eye](bool shown) {
        field->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
        ShowState(*eye, shown);
    });
    return eye;
}

}  // namespace tessaline
