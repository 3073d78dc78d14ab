#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include "core/app/instance_hand_off.h"

namespace tessaline {

namespace {

constexpr const char* kSocketName = "tessaline-instance";
constexpr const char* kLockName = "tessaline-instance.lock";
// A sender that has not finished within this time is let go.
constexpr int kServeTimeoutMs = 5'000;
constexpr qint64 kMaxMessageBytes =
    12 + static_cast<qint64>(kHandOffMaxFiles) * (4 + static_cast<qint64>(kHandOffMaxPathBytes));
constexpr const char* kBufferProperty = "handOffBuffer";

}  // namespace

bool PeerIsSameUser(int socketDescriptor) {
    if (socketDescriptor < 0)
        return false;
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials)
        return false;
    return credentials.uid == getuid();
}

InstanceChannel::InstanceChannel(const QString& folder, QObject* parent)
    : QObject(parent), folder_(folder) {}

InstanceChannel::~InstanceChannel() {
    if (server_)
        server_->close();
    if (lockFd_ >= 0)
        ::close(lockFd_);  // the lock goes with the descriptor
}

QString InstanceChannel::SocketPath() const {
    return QDir(folder_).filePath(QString::fromLatin1(kSocketName));
}

InstanceChannel::Role InstanceChannel::Claim() {
    const QByteArray lockPath =
        QDir(folder_).filePath(QString::fromLatin1(kLockName)).toLocal8Bit();
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0)
        return role_ = Role::Alone;
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(lockFd_);
        lockFd_ = -1;
        return role_ = taken ? Role::Second : Role::Alone;
    }
    // The lock is ours: a socket left there belongs to a program that ended.
    QLocalServer::removeServer(SocketPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(SocketPath())) {
        delete server_;
        server_ = nullptr;
        return role_ = Role::Alone;
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::OnNewConnection);
    return role_ = Role::Running;
}

void InstanceChannel::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!PeerIsSameUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guard(socket);
        QTimer::singleShot(kServeTimeoutMs, this, [guard] {
            if (guard && guard->state() == QLocalSocket::ConnectedState)
                guard->abort();
        });
        if (socket->bytesAvailable() > 0)
            OnReadable(socket);
    }
}

void InstanceChannel::OnReadable(QLocalSocket* socket) {
    QByteArray buffer = socket->property(kBufferProperty).toByteArray();
    buffer += socket->readAll();
    if (buffer.size() > kMaxMessageBytes) {
        socket->abort();
        return;
    }
    socket->setProperty(kBufferProperty, buffer);
    const HandOffDecoded decoded =
        DecodeHandOff(std::span(reinterpret_cast<const std::uint8_t*>(buffer.constData()),
                                static_cast<std::size_t>(buffer.size())));
    if (decoded.status == HandOffDecoded::Status::Incomplete)
        return;
    if (decoded.status == HandOffDecoded::Status::Invalid) {
        socket->abort();
        return;
    }
    const char accepted = static_cast<char>(kHandOffAccepted);
    socket->write(&accepted, 1);
    socket->flush();
    socket->disconnectFromServer();
    QStringList files;
    for (const std::string& f : decoded.files)
        files << QString::fromStdString(f);
    emit FilesHandedOver(files);
}

bool InstanceChannel::HandOff(const std::vector<std::string>& files, int timeoutMs) {
    const std::optional<std::vector<std::uint8_t>> message = EncodeHandOff(files);
    if (!message)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running program may be starting still: its socket comes a moment after its lock.
    for (;;) {
        socket.connectToServer(SocketPath());
        if (socket.waitForConnected(
                static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    if (!PeerIsSameUser(static_cast<int>(socket.socketDescriptor())))
        return false;
    socket.write(reinterpret_cast<const char*>(message->data()),
                 static_cast<qint64>(message->size()));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(
                static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(
                                         std::max<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == static_cast<char>(kHandOffAccepted);
}

}  // namespace tessaline
