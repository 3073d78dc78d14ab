#include "platform/screen_lock_watch.h"

#include <unistd.h>

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>

namespace tessaline {

namespace {

struct ScreenSaverName {
    const char* path;
    const char* interface;
};
constexpr ScreenSaverName kScreenSavers[] = {
    {"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
};
constexpr const char* kLogin1 = "org.freedesktop.login1";
// Asking the login manager which session is ours may take this long at most.
constexpr int kLoginQueryTimeoutMs = 2'000;

}  // namespace

ScreenLockWatch::ScreenLockWatch(QObject* parent) : QObject(parent) {
    const QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected())
        WatchSessionBus(session);
    const QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected())
        WatchSystemBus(system);
}

ScreenLockWatch::ScreenLockWatch(const QDBusConnection& sessionBus,
                                 const std::optional<QDBusConnection>& systemBus, QObject* parent)
    : QObject(parent) {
    if (sessionBus.isConnected())
        WatchSessionBus(sessionBus);
    if (systemBus && systemBus->isConnected())
        WatchSystemBus(*systemBus);
}

void ScreenLockWatch::WatchSessionBus(QDBusConnection bus) {
    for (const ScreenSaverName& s : kScreenSavers) {
        if (bus.connect(QString(), QString::fromLatin1(s.path), QString::fromLatin1(s.interface),
                        QStringLiteral("ActiveChanged"), this,
                        SLOT(OnScreenSaverActiveChanged(bool))))
            ++subscriptions_;
    }
}

void ScreenLockWatch::WatchSystemBus(QDBusConnection bus) {
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QString::fromLatin1(kLogin1), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetSessionByPID"));
    ask << static_cast<quint32>(::getpid());
    const QDBusReply<QDBusObjectPath> reply = bus.call(ask, QDBus::Block, kLoginQueryTimeoutMs);
    if (reply.isValid())
        ownSessionPath_ = reply.value().path();
    if (bus.connect(QString::fromLatin1(kLogin1), ownSessionPath_,
                    QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"), this,
                    SLOT(OnSessionLock())))
        ++subscriptions_;
}

void ScreenLockWatch::OnScreenSaverActiveChanged(bool active) {
    if (active)
        emit ScreenLocked();
}

void ScreenLockWatch::OnSessionLock() {
    if (!ownSessionPath_.isEmpty() && calledFromDBus() && message().path() != ownSessionPath_)
        return;
    emit ScreenLocked();
}

}  // namespace tessaline
