#pragma once
// A tiny web server on 127.0.0.1 for the browser tests. It serves "/page/<name>" as a
// page titled <name>, "/secret/<name>" only with HTTP basic credentials (asking for
// them with a 401 first), and "/guarded/<name>" only with the credentials set by
// RequireCredentials (any others get another 401); "/redirect/<address>" sends the
// browser on to the percent-encoded address; a path given to ServePage gets that page.
// It remembers every request it saw, with the body of a form sent to it. A path given to
// DelayAnswer is answered only that long after it was asked for.

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <map>
#include <vector>

namespace tessaline::testing {

struct SeenRequest {
    QString path;
    QByteArray credentials;  // "user:password" as the browser sent it, or empty
    QByteArray method;
    QByteArray body;
};

class TestWebServer {
public:
    // On a free port, or on `port` when it is given and free.
    bool Start(quint16 port = 0) {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
        return server_.listen(QHostAddress::LocalHost, port);
    }
    quint16 Port() const { return server_.serverPort(); }
    QString Url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path);
    }
    const std::vector<SeenRequest>& Seen() const { return seen_; }
    void RequireCredentials(const QByteArray& userColonPassword) { required_ = userColonPassword; }
    int Challenges() const { return challenges_; }
    void Forget() { seen_.clear(); }
    // Serves `html` at exactly `path` (query and all).
    void ServePage(const QString& path, const QByteArray& html) { pages_[path] = html; }
    // Answers `path` (query and all) `ms` milliseconds after the request, as a slow site.
    void DelayAnswer(const QString& path, int ms) { delays_[path] = ms; }

private:
    void Accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& buffer = buffers_[socket];
                buffer += socket->readAll();
                const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
                if (headerEnd < 0)
                    return;
                // A form's body follows its headers.
                qsizetype length = 0;
                for (const QByteArray& line : buffer.left(headerEnd).split('\n'))
                    if (line.trimmed().toLower().startsWith("content-length:"))
                        length = line.trimmed().mid(15).trimmed().toLongLong();
                if (buffer.size() < headerEnd + 4 + length)
                    return;
                const QByteArray request = buffer;
                buffers_.erase(socket);
                const QString path =
                    QString::fromUtf8(request.left(request.indexOf('\n')).split(' ').value(1));
                if (const auto delay = delays_.find(path); delay != delays_.end())
                    QTimer::singleShot(delay->second, socket,
                                       [this, socket, request] { Answer(*socket, request); });
                else
                    Answer(*socket, request);
            });
        }
    }

    void Answer(QTcpSocket& socket, const QByteArray& request) {
        const QList<QByteArray> lines = request.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        SeenRequest seen{QString::fromUtf8(first.value(1)),
                         {},
                         first.value(0),
                         request.mid(request.indexOf("\r\n\r\n") + 4)};
        for (const QByteArray& line : lines) {
            const QByteArray header = line.trimmed();
            if (header.toLower().startsWith("authorization: basic "))
                seen.credentials = QByteArray::fromBase64(header.mid(21));
        }
        if (seen.path != QLatin1String("/favicon.ico"))
            seen_.push_back(seen);

        QByteArray status = "200 OK";
        QByteArray extra;
        QString title = QUrl::fromPercentEncoding(seen.path.section(QLatin1Char('/'), -1).toUtf8());
        const bool guarded = seen.path.startsWith(QLatin1String("/guarded/"));
        QByteArray body;
        if (const auto page = pages_.find(seen.path); page != pages_.end()) {
            body = page->second;
        } else if ((seen.path.startsWith(QLatin1String("/secret/")) &&
                    seen.credentials.isEmpty()) ||
                   (guarded && seen.credentials != required_)) {
            ++challenges_;
            status = "401 Unauthorized";
            extra = "WWW-Authenticate: Basic realm=\"test\"\r\n";
            title = QStringLiteral("Denied");
        } else if (seen.path.startsWith(QLatin1String("/redirect/"))) {
            status = "302 Found";
            extra =
                "Location: " + QByteArray::fromPercentEncoding(seen.path.mid(10).toUtf8()) + "\r\n";
        } else if (!seen.path.startsWith(QLatin1String("/page/")) &&
                   !seen.path.startsWith(QLatin1String("/secret/")) && !guarded) {
            status = "404 Not Found";
            title = QStringLiteral("Missing");
        }
        if (body.isEmpty())
            body = "<!DOCTYPE html><html><head><title>" + title.toUtf8() + "</title></head><body>" +
                   title.toUtf8() + "</body></html>";
        socket.write("HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\n" +
                     extra + "Content-Length: " + QByteArray::number(body.size()) +
                     "\r\nConnection: close\r\n\r\n" + body);
        socket.disconnectFromHost();
    }

    QTcpServer server_;
    std::map<QTcpSocket*, QByteArray> buffers_;
    std::vector<SeenRequest> seen_;
    std::map<QString, QByteArray> pages_;
    std::map<QString, int> delays_;
    QByteArray required_;
    int challenges_ = 0;
};

}  // namespace tessaline::testing
