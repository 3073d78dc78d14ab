#include "platform/devtools/devtools_client.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>

namespace tessaline::devtools {

namespace {

// Runs a local event loop until Finish() or the deadline.
class Waiter {
public:
    void Finish() {
        done_ = true;
        loop_.quit();
    }
    bool Done() const { return done_; }
    bool Wait(const QDeadlineTimer& deadline) {
        if (done_)
            return true;
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            return false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop_, &QEventLoop::quit);
        timer.start(static_cast<int>(left < 0 ? 0 : left));
        loop_.exec(QEventLoop::ExcludeUserInputEvents);
        return done_;
    }

private:
    QEventLoop loop_;
    bool done_ = false;
};

void Pause(int ms) {
    Waiter waiter;
    waiter.Wait(QDeadlineTimer(ms));
}

}  // namespace

bool MakePrivateFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    return ::chmod(QFile::encodeName(folder).constData(), 0700) == 0;
}

DevToolsClient::DevToolsClient(QString profileFolder, int timeoutMs)
    : profileFolder_(std::move(profileFolder)), timeoutMs_(timeoutMs) {}

QString DevToolsClient::PortFilePath() const {
    return QDir(profileFolder_).filePath(QStringLiteral("DevToolsActivePort"));
}

bool DevToolsClient::ReadPortFile(quint16& port, QString& browserPath) const {
    QFile file(PortFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    if (lines.size() < 2)
        return false;
    bool ok = false;
    const uint value = lines[0].trimmed().toUInt(&ok);
    const QString path = QString::fromLatin1(lines[1].trimmed());
    if (!ok || value == 0 || value > 65535 || !path.startsWith(QLatin1String("/devtools/browser/")))
        return false;
    port = static_cast<quint16>(value);
    browserPath = path;
    return true;
}

bool DevToolsClient::FindRunning() {
    port_ = 0;
    quint16 port = 0;
    QString browserPath;
    if (!ReadPortFile(port, browserPath))
        return false;
    port_ = port;
    browserPath_ = browserPath;
    // A port file stays behind when the browser ends: only an answer counts.
    if (!Http("GET", QStringLiteral("/json/version"))) {
        port_ = 0;
        return false;
    }
    return true;
}

bool DevToolsClient::StartNew(const QString& program, const QStringList& extraArguments,
                              int startTimeoutMs) {
    if (program.isEmpty() || !MakePrivateFolder(profileFolder_))
        return false;
    QFile::remove(PortFilePath());
    QStringList arguments = {QStringLiteral("--remote-debugging-port=0"),
                             QStringLiteral("--user-data-dir=") + profileFolder_,
                             QStringLiteral("--no-first-run"),
                             QStringLiteral("--no-default-browser-check")};
    arguments += extraArguments;
    // Chromium refuses to start for the superuser unless its sandbox is turned off; without
    // this, Launch WWW could never work in a root session.
    if (::geteuid() == 0 && !arguments.contains(QStringLiteral("--no-sandbox")))
        arguments += QStringLiteral("--no-sandbox");
    // The browser's own chatter does not belong in Tessaline's output.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return false;

    const QDeadlineTimer deadline(startTimeoutMs);
    QDeadlineTimer graceAfterExit = QDeadlineTimer::Forever;
    while (!deadline.hasExpired()) {
        // The endpoint answers a little after the file appears.
        if (QFileInfo::exists(PortFilePath()) && FindRunning())
            return true;
        // A program that ended at once without a port file is not a browser that started;
        // a launcher that hands over to another process gets a moment longer.
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && graceAfterExit.isForever())
            graceAfterExit = QDeadlineTimer(1000);
        if (graceAfterExit.hasExpired())
            return false;
        Pause(50);
    }
    return false;
}

std::optional<QByteArray> DevToolsClient::Http(const QByteArray& verb,
                                               const QString& pathAndQuery) {
    if (port_ == 0)
        return std::nullopt;
    Waiter waiter;  // outlives the manager and its reply
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QUrl url(QStringLiteral("http://127.0.0.1:%1").arg(port_) + pathAndQuery);
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    QNetworkReply* reply = manager.sendCustomRequest(request, verb);  // owned by manager
    QObject::connect(reply, &QNetworkReply::finished, [&waiter] { waiter.Finish(); });
    if (!waiter.Wait(QDeadlineTimer(timeoutMs_))) {
        reply->abort();
        return std::nullopt;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != 200)
        return std::nullopt;
    return reply->readAll();
}

std::optional<QJsonObject> DevToolsClient::Call(const QString& endpointPath, const QString& method,
                                                const QJsonObject& params) {
    if (port_ == 0 || !endpointPath.startsWith(QLatin1String("/devtools/")))
        return std::nullopt;
    const QDeadlineTimer deadline(timeoutMs_);
    constexpr int kCallId = 1;
    // Declared before the socket, so they outlive anything it still signals.
    Waiter connected;
    Waiter answered;
    bool failed = false;
    std::optional<QJsonObject> answer;
    // No Origin header: the browser refuses WebSocket clients that send one.
    QWebSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    QObject::connect(&socket, &QWebSocket::connected, [&] { connected.Finish(); });
    QObject::connect(&socket, &QWebSocket::disconnected, [&] {
        failed = true;
        connected.Finish();
    });
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    QObject::connect(&socket, &QWebSocket::errorOccurred, [&](QAbstractSocket::SocketError) {
#else
    QObject::connect(&socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error),
                     [&](QAbstractSocket::SocketError) {
#endif
        failed = true;
        connected.Finish();
    });
    socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(port_) + endpointPath));
    if (!connected.Wait(deadline) || failed)
        return std::nullopt;

    QObject::connect(&socket, &QWebSocket::textMessageReceived, [&](const QString& message) {
        const QJsonObject object = QJsonDocument::fromJson(message.toUtf8()).object();
        if (object.value(QLatin1String("id")).toInt() != kCallId)
            return;  // an event
        if (object.contains(QLatin1String("result")) && !object.contains(QLatin1String("error")))
            answer = object.value(QLatin1String("result")).toObject();
        answered.Finish();
    });
    QObject::connect(&socket, &QWebSocket::disconnected, [&] { answered.Finish(); });
    QJsonObject command{{QStringLiteral("id"), kCallId},
                        {QStringLiteral("method"), method},
                        {QStringLiteral("params"), params}};
    socket.sendTextMessage(
        QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact)));
    answered.Wait(deadline);
    QObject::disconnect(&socket, nullptr, nullptr, nullptr);
    socket.abort();
    return answer;
}

std::optional<PageTarget> DevToolsClient::LastActivePage() {
    const std::optional<QByteArray> body = Http("GET", QStringLiteral("/json/list"));
    if (!body)
        return std::nullopt;
    // Newest first; the browser's own pop-ups are listed too and are not tabs.
    for (const QJsonValue& value : QJsonDocument::fromJson(*body).array()) {
        const QJsonObject target = value.toObject();
        if (target.value(QLatin1String("type")).toString() != QLatin1String("page"))
            continue;
        PageTarget page;
        page.id = target.value(QLatin1String("id")).toString();
        page.url = target.value(QLatin1String("url")).toString();
        page.title = target.value(QLatin1String("title")).toString();
        page.webSocketPath =
            QUrl(target.value(QLatin1String("webSocketDebuggerUrl")).toString()).path();
        if (page.webSocketPath.isEmpty())
            continue;
        return page;
    }
    return std::nullopt;
}

bool DevToolsClient::Navigate(const QString& url, bool newWindow) {
    if (!FindRunning())
        return false;
    if (newWindow) {
        const auto result =
            Call(browserPath_, QStringLiteral("Target.createTarget"),
                 {{QStringLiteral("url"), url}, {QStringLiteral("newWindow"), true}});
        return result && !result->value(QLatin1String("targetId")).toString().isEmpty();
    }
    const std::optional<PageTarget> page = LastActivePage();
    if (!page)
        return false;
    // A page that fails to load still counts as navigated, as it shows the browser's
    // error page; a refused command does not.
    return Call(page->webSocketPath, QStringLiteral("Page.navigate"),
                {{QStringLiteral("url"), url}})
        .has_value();
}

bool DevToolsClient::Visible() {
    if (!FindRunning())
        return false;
    const std::optional<PageTarget> page = LastActivePage();
    return page && Call(page->webSocketPath, QStringLiteral("Page.bringToFront"), {}).has_value();
}

bool DevToolsClient::GoHome() {
    return Navigate(QString::fromLatin1(kHomePage), false);
}

bool DevToolsClient::OpenHomeWindow() {
    return Navigate(QString::fromLatin1(kHomePage), true);
}

bool DevToolsClient::LocationURL(QString& url) {
    if (!FindRunning())
        return false;
    const std::optional<PageTarget> page = LastActivePage();
    if (!page)
        return false;
    url = page->url;
    return true;
}

bool DevToolsClient::LocationName(QString& title) {
    if (!FindRunning())
        return false;
    const std::optional<PageTarget> page = LastActivePage();
    if (!page)
        return false;
    title = page->title;
    return true;
}

bool DevToolsClient::CloseBrowser() {
    if (!FindRunning())
        return false;
    // The browser may end before its answer arrives: what counts is that it stops answering.
    Call(browserPath_, QStringLiteral("Browser.close"), {});
    const QDeadlineTimer deadline(timeoutMs_);
    while (!deadline.hasExpired()) {
        if (!FindRunning())
            return true;
        Pause(50);
    }
    return false;
}

}  // namespace tessaline::devtools
