#pragma once
// One running Tessaline per user: the first start holds a lock file in the user's private
// socket folder and listens on a local socket there; a later start finds the lock taken,
// sends its files over the socket and ends. Only processes of the same user are served.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace tessaline {

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Running,  // this start is the running program and serves later ones
        Second,   // another start runs already: hand the files over
        Alone,    // neither could be set up: run without serving
    };

    // folder: a folder only this user can open.
    explicit InstanceChannel(const QString& folder, QObject* parent = nullptr);
    ~InstanceChannel() override;

    Role Claim();
    Role CurrentRole() const { return role_; }
    // Sends the files (absolute paths) to the running program; true once it took them.
    bool HandOff(const std::vector<std::string>& files, int timeoutMs = 10'000);

    QString SocketPath() const;

signals:
    // A later start handed these files over (maybe none: it only asks to be shown).
    void FilesHandedOver(const QStringList& files);

private:
    void OnNewConnection();
    void OnReadable(QLocalSocket* socket);

    QString folder_;
    Role role_ = Role::Alone;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

// Whether the process at the other end of a connected local socket runs as this user.
bool PeerIsSameUser(int socketDescriptor);

}  // namespace tessaline
