#include "app/static_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace tessaline {

CStaticLink::CStaticLink(const QString& target, QWidget* parent) : QLabel(parent), target_(target) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    ApplyColor();
}

void CStaticLink::ApplyColor() {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color_);
    setPalette(p);
}

bool CStaticLink::Open() {
    QString target = target_.isEmpty() ? text() : target_;
    if (target.isEmpty())
        return false;
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(target))) {
        QApplication::beep();
        return false;
    }
    color_ = kVisited;
    ApplyColor();
    update();
    emit Opened(target);
    return true;
}

void CStaticLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Open();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

}  // namespace tessaline
