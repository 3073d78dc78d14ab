#include "gui/app/static_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include "core/views/list_colours.h"

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
    QColor shown = color_;
    if (color_ == kUnvisited) {
        // As blue as the background lets it be read (a dark theme gets a lighter blue).
        const QColor back = p.color(QPalette::Window);
        const Rgb blue = ReadableBlueOn(Rgb{static_cast<std::uint8_t>(back.red()),
                                            static_cast<std::uint8_t>(back.green()),
                                            static_cast<std::uint8_t>(back.blue())});
        shown = QColor(blue.r, blue.g, blue.b);
    }
    p.setColor(QPalette::WindowText, shown);
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
