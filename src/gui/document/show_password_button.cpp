#include "gui/document/show_password_button.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QWidgetAction>

namespace tessaline {

namespace {
// Our own small drawing of an eye: the button shows what was typed.
QIcon EyeIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1.4));
    QPainterPath outline;
    outline.moveTo(1, 8);
    outline.quadTo(8, 1, 15, 8);
    outline.quadTo(8, 15, 1, 8);
    painter.drawPath(outline);
    painter.setBrush(QColor(0, 0, 160));
    painter.drawEllipse(QPointF(8, 8), 2.6, 2.6);
    return QIcon(pixmap);
}
}  // namespace

CShowPasswordButton::CShowPasswordButton(QLineEdit* edit, QWidget* parent)
    : QToolButton(parent), edit_(edit) {
    setIcon(EyeIcon());
    setToolTip(QStringLiteral("Show the password"));
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QToolButton::clicked, this, &CShowPasswordButton::ShowPassword);
}

QString CShowPasswordButton::MenuText(const QString& password) {
    QString text = password;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

void CShowPasswordButton::ShowPassword() {
    if (menu_)
        menu_->close();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // One item that cannot be chosen but is not greyed: a plain label shows the text
    // exactly as typed, so "&" is never taken for a mnemonic.
    auto* item = new QWidgetAction(menu);
    item->setText(MenuText(edit_->text()));
    auto* label = new QLabel(menu);
    label->setTextFormat(Qt::PlainText);
    label->setText(edit_->text());
    label->setContentsMargins(8, 4, 8, 4);
    item->setDefaultWidget(label);
    menu->addAction(item);
    menu_ = menu;
    menu->popup(mapToGlobal(QPoint(width() + 5, height())));
    emit MenuShown(menu);
}

}  // namespace tessaline
