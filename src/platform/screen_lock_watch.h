#pragma once
// Tells when the desktop locks its screen: the screen saver's ActiveChanged(true) on the
// session bus (the freedesktop name, and GNOME's own) and the login manager's Lock signal
// for this login session on the system bus. Where there is no bus, it never tells.

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <optional>

namespace tessaline {

class ScreenLockWatch : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    // Watches the user's session bus and the system bus.
    explicit ScreenLockWatch(QObject* parent = nullptr);
    // Watches the buses given (the tests bring their own); systemBus may be left out.
    ScreenLockWatch(const QDBusConnection& sessionBus,
                    const std::optional<QDBusConnection>& systemBus, QObject* parent = nullptr);

    // How many of the watched signals could be subscribed to.
    int Subscriptions() const { return subscriptions_; }

signals:
    void ScreenLocked();

private slots:
    void OnScreenSaverActiveChanged(bool active);
    void OnSessionLock();

private:
    void WatchSessionBus(QDBusConnection bus);
    void WatchSystemBus(QDBusConnection bus);

    QString ownSessionPath_;  // empty: not known, every session's Lock counts
    int subscriptions_ = 0;
};

}  // namespace tessaline
