// A stand-in for a browser that answers on its DevTools pipe before its first tab is
// open, as a real one on a busy machine does: commands arrive on file descriptor 3 and
// replies leave on 4, each message ending in a zero byte.
//
//   slow_tab_browser LOG [ARGUMENT...]
//
// Browser.getVersion is answered at once; Target.getTargets lists no tab for the first
// two seconds and one blank tab after that; Target.attachToTarget gives a session; any
// other command gets an empty result. Every method received is appended to LOG, one a
// line, with Page.navigate followed by its address. Ends when the pipe closes.

#include <unistd.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QJsonObject ResultFor(const QString& method, qint64 sinceStartMs) {
    if (method == QLatin1String("Browser.getVersion"))
        return {{QStringLiteral("product"), QStringLiteral("SlowTab/1.0")}};
    if (method == QLatin1String("Target.getTargets")) {
        QJsonArray targets;
        if (sinceStartMs >= 2000)
            targets.append(QJsonObject{{QStringLiteral("targetId"), QStringLiteral("TAB1")},
                                       {QStringLiteral("type"), QStringLiteral("page")},
                                       {QStringLiteral("url"), QStringLiteral("about:blank")},
                                       {QStringLiteral("title"), QString()}});
        return {{QStringLiteral("targetInfos"), targets}};
    }
    if (method == QLatin1String("Target.attachToTarget"))
        return {{QStringLiteral("sessionId"), QStringLiteral("SESSION1")}};
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 64;
    QFile log(QString::fromLocal8Bit(argv[1]));
    if (!log.open(QIODevice::Append | QIODevice::Text))
        return 65;
    QElapsedTimer sinceStart;
    sinceStart.start();
    QByteArray received;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(3, chunk, sizeof chunk);
        if (n <= 0)
            return 0;
        received.append(chunk, n);
        qsizetype end = 0;
        while ((end = received.indexOf('\0')) >= 0) {
            const QJsonObject command = QJsonDocument::fromJson(received.left(end)).object();
            received.remove(0, end + 1);
            const QString method = command.value(QLatin1String("method")).toString();
            QByteArray line = method.toUtf8();
            if (method == QLatin1String("Page.navigate"))
                line += ' ' + command.value(QLatin1String("params"))
                                  .toObject()
                                  .value(QLatin1String("url"))
                                  .toString()
                                  .toUtf8();
            log.write(line + '\n');
            log.flush();
            const QJsonObject reply{
                {QStringLiteral("id"), command.value(QLatin1String("id"))},
                {QStringLiteral("result"), ResultFor(method, sinceStart.elapsed())}};
            if (!WriteAll(4, QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\0'))
                return 0;
        }
    }
}
