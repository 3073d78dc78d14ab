#include "gui/app/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

static void InitSplashResource() {
    Q_INIT_RESOURCE(splash);
}

namespace tessaline {

namespace {

bool g_enabled = true;
QPointer<CSplashWindow> g_splash;

bool IsPress(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CSplashWindow::EnableSplash(bool enable) {
    g_enabled = enable;
}

CSplashWindow* CSplashWindow::Current() {
    return g_splash.data();
}

QPixmap CSplashWindow::Picture() {
    InitSplashResource();
    QSvgRenderer renderer(QStringLiteral(":/splash/splash.svg"));
    if (!renderer.isValid())
        return {};
    QPixmap pixmap(346, 153);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

void CSplashWindow::ShowSplash(QWidget* parent) {
    if (!g_enabled || g_splash)
        return;
    const QPixmap picture = Picture();
    if (picture.isNull())
        return;
    auto* splash = new CSplashWindow(picture, parent);
    g_splash = splash;
    splash->show();
    splash->repaint();
}

void CSplashWindow::HideSplash() {
    if (CSplashWindow* splash = g_splash.data()) {
        QWidget* owner = splash->parentWidget();
        splash->hide();
        splash->deleteLater();
        g_splash = nullptr;
        if (owner != nullptr)
            owner->update();
    }
}

CSplashWindow::CSplashWindow(const QPixmap& picture, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(picture) {
    setObjectName("SplashWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(picture_.size());
    const QRect area = parent != nullptr && parent->isVisible()
                           ? parent->frameGeometry()
                           : (screen() != nullptr ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
    QTimer::singleShot(kShowMs, this, [] { HideSplash(); });
    qApp->installEventFilter(this);
}

CSplashWindow::~CSplashWindow() {
    if (qApp != nullptr)
        qApp->removeEventFilter(this);
    if (g_splash == this)
        g_splash = nullptr;
}

void CSplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (g_splash == this && isVisible() && watched->isWidgetType() && IsPress(event->type())) {
        HideSplash();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tessaline
