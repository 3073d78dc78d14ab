#include "platform/devtools/devtools_client.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>

#include "core/browser/login_origin.h"
#include "platform/dde/dde_folder.h"
#include "platform/devtools/browser_profile_prefs.h"
#include "platform/devtools/keeper_launch.h"

namespace tessaline::devtools {

namespace {

// Whoever runs the calls has given up on them (the window closed, or its time limit
// passed): every wait ends at once.
bool Interrupted() {
    return QThread::currentThread()->isInterruptionRequested();
}

// Runs a local event loop until Finish() or the deadline.
class Waiter {
public:
    void Finish() {
        done_ = true;
        loop_.quit();
    }
    bool Wait(const QDeadlineTimer& deadline) {
        if (done_)
            return true;
        const qint64 left = deadline.remainingTime();
        if (left == 0 || Interrupted())
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

bool PeerIsOurUser(qintptr fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return fd >= 0 &&
           ::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof peer && peer.uid == ::getuid();
}

// How long looking at one tab may take: a hung or frozen tab must not hold up the rest.
constexpr int kShownTimeoutMs = 1500;

// How long a page that has loaded is watched for a navigation it starts itself (a script
// of its load handler sending the browser on).
constexpr int kSettleMs = 500;
constexpr int kSettleStepMs = 100;

// The reason given when the tab crashed or closed under a command.
constexpr const char* kTabCrashed = "the web browser's tab crashed";

// Why a command went unanswered, for the status bar.
std::string NoAnswerText(int timeoutMs, const QString& what = {}) {
    const int seconds = (timeoutMs + 999) / 1000;
    return (what.isEmpty() ? std::string("no answer") : "no answer from " + what.toStdString()) +
           " within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

// What the top frame of a tab is doing, followed through the page events of its session
// while a navigation is waited for.
struct TopFrameLoad {
    bool awaiting = false;  // a navigation has started that has not reached its page yet
    bool loaded = false;    // the page the frame shows has fired its load event
    bool loading = false;   // the browser says the frame is loading
    QString awaitedUrl;
    QDeadlineTimer settleUntil{QDeadlineTimer::Forever};

    void Started(const QString& url) {
        awaiting = true;
        loaded = false;
        awaitedUrl = url;
        settleUntil = QDeadlineTimer(QDeadlineTimer::Forever);
    }
    void Note(const QString& method, const QJsonObject& params, const QString& topFrame) {
        const bool top = params.value(QLatin1String("frameId")).toString() == topFrame;
        if (method == QLatin1String("Page.frameRequestedNavigation") ||
            method == QLatin1String("Page.frameScheduledNavigation")) {
            if (top)
                Started(params.value(QLatin1String("url")).toString());
        } else if (method == QLatin1String("Page.frameStartedLoading")) {
            if (top) {
                loading = true;
                settleUntil = QDeadlineTimer(QDeadlineTimer::Forever);
            }
        } else if (method == QLatin1String("Page.frameStoppedLoading")) {
            if (top) {
                loading = false;
                settleUntil = QDeadlineTimer(kSettleMs);
            }
        } else if (method == QLatin1String("Page.frameNavigated")) {
            const QJsonObject frame = params.value(QLatin1String("frame")).toObject();
            if (!frame.contains(QLatin1String("parentId"))) {
                // A new document in the tab: its own load is what counts now.
                awaiting = false;
                loaded = false;
            }
        } else if (method == QLatin1String("Page.loadEventFired")) {
            loaded = true;
            settleUntil = QDeadlineTimer(kSettleMs);
        }
    }
    // Loaded, and no further navigation began within a moment after it.
    bool Settled() const { return loaded && !awaiting && !loading && settleUntil.hasExpired(); }
};

Navigation Outcome(Navigation::Result result, std::string error = {}) {
    return Navigation{result, std::move(error)};
}

// What Page.navigate answered: the browser's reason when it could not reach the site, or
// `noAnswer` when it gave no answer in time.
Navigation NavigateReply(const std::optional<QJsonObject>& reply, std::string noAnswer = {}) {
    if (!reply)
        return Outcome(Navigation::Result::Failed, std::move(noAnswer));
    const QString error = reply->value(QLatin1String("errorText")).toString();
    if (!error.isEmpty())
        return Outcome(Navigation::Result::Failed, error.toStdString());
    return Outcome(Navigation::Result::Opened);
}

}  // namespace

bool MakePrivateFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    return ::chmod(QFile::encodeName(folder).constData(), 0700) == 0;
}

DevToolsClient::DevToolsClient(QString profileFolder, int timeoutMs)
    : profileFolder_(std::move(profileFolder)),
      timeoutMs_(timeoutMs),
      keeperProgram_(DefaultKeeperProgram()),
      // Ids that a reply meant for an earlier client cannot match.
      nextId_(QRandomGenerator::system()->bounded(1, 1 << 30)) {}

DevToolsClient::~DevToolsClient() {
    Disconnect();
}

QString DevToolsClient::DefaultKeeperProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessaline-browser-keeper");
}

QString DevToolsClient::SocketPath() const {
    const std::optional<std::string> folder = dde::EnsurePrivateSocketFolder();
    if (!folder)
        return {};
    // One keeper per profile folder; the name stays short enough for a socket address.
    const QString profile = QFileInfo(profileFolder_).absoluteFilePath();
    const QByteArray digest =
        QCryptographicHash::hash(QFile::encodeName(profile), QCryptographicHash::Sha256).toHex();
    return QString::fromStdString(*folder) + QStringLiteral("/browser-") +
           QString::fromLatin1(digest.left(16));
}

QString DevToolsClient::RecordFilePath() const {
    const QString socket = SocketPath();
    return socket.isEmpty() ? QString() : socket + QStringLiteral(".page");
}

bool DevToolsClient::Connect() {
    if (socket_ && socket_->state() == QLocalSocket::ConnectedState)
        return true;
    Disconnect();
    const QString path = SocketPath();
    if (path.isEmpty())
        return false;
    socket_.emplace();
    socket_->connectToServer(path);
    // A local connection is made or refused at once.
    if (!socket_->waitForConnected(timeoutMs_) || !PeerIsOurUser(socket_->socketDescriptor())) {
        socket_.reset();
        return false;
    }
    return true;
}

void DevToolsClient::Disconnect() {
    if (!socket_)
        return;
    if (socket_->state() == QLocalSocket::ConnectedState) {
        // Sessions left open would pile up in the browser; the answers are not awaited.
        for (const QString& session : sessions_) {
            const QJsonObject command{
                {QStringLiteral("id"), nextId_++},
                {QStringLiteral("method"), "Target.detachFromTarget"},
                {QStringLiteral("params"), QJsonObject{{QStringLiteral("sessionId"), session}}}};
            socket_->write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0');
        }
        socket_->flush();
        socket_->disconnectFromServer();
    }
    sessions_.clear();
    lostSessions_.clear();
    socket_.reset();
    received_.clear();
}

qint64 DevToolsClient::Send(const QString& method, const QJsonObject& params,
                            const QString& sessionId) {
    if (!Connect())
        return -1;
    const qint64 id = nextId_++;
    QJsonObject command{{QStringLiteral("id"), id},
                        {QStringLiteral("method"), method},
                        {QStringLiteral("params"), params}};
    if (!sessionId.isEmpty())
        command.insert(QStringLiteral("sessionId"), sessionId);
    socket_->write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0');
    socket_->flush();
    return id;
}

void DevToolsClient::NoteLostSession(const QJsonObject& event) {
    const QString method = event.value(QLatin1String("method")).toString();
    if (method == QLatin1String("Inspector.targetCrashed") ||
        method == QLatin1String("Inspector.detached"))
        lostSessions_.insert(event.value(QLatin1String("sessionId")).toString());
    else if (method == QLatin1String("Target.detachedFromTarget"))
        lostSessions_.insert(event.value(QLatin1String("params"))
                                 .toObject()
                                 .value(QLatin1String("sessionId"))
                                 .toString());
}

bool DevToolsClient::SessionLost(const QString& sessionId) const {
    return !sessionId.isEmpty() && lostSessions_.count(sessionId) > 0;
}

std::optional<QJsonObject> DevToolsClient::Await(qint64 id, const QDeadlineTimer& deadline,
                                                 const EventHandler& onEvent,
                                                 const std::function<bool()>& until,
                                                 const QString& sessionId) {
    timedOut_ = false;
    if (!socket_)
        return std::nullopt;
    for (;;) {
        // Whole messages end in a zero byte; replies to other commands are passed over.
        qsizetype end = 0;
        while ((end = received_.indexOf('\0')) >= 0) {
            const QJsonObject message = QJsonDocument::fromJson(received_.left(end)).object();
            received_.remove(0, end + 1);
            if (message.contains(QLatin1String("method"))) {
                NoteLostSession(message);
                if (onEvent)
                    onEvent(message);
                continue;
            }
            if (id < 0 || message.value(QLatin1String("id")).toInteger(-1) != id)
                continue;
            if (message.contains(QLatin1String("error")) ||
                !message.value(QLatin1String("result")).isObject())
                return std::nullopt;
            return message.value(QLatin1String("result")).toObject();
        }
        if (until && until())
            return QJsonObject{};
        // A tab that crashed or went away answers nothing more on its session: waiting on
        // would only hold up the window until the time-out.
        if (SessionLost(sessionId))
            return std::nullopt;
        if (!socket_)
            return std::nullopt;
        if (socket_->bytesAvailable() > 0) {
            received_ += socket_->readAll();
            continue;
        }
        if (socket_->state() != QLocalSocket::ConnectedState)
            break;
        Waiter waiter;
        QLocalSocket* socket = &*socket_;
        const auto readable =
            QObject::connect(socket, &QLocalSocket::readyRead, [&waiter] { waiter.Finish(); });
        const auto gone =
            QObject::connect(socket, &QLocalSocket::disconnected, [&waiter] { waiter.Finish(); });
        const bool woke = waiter.Wait(deadline);
        QObject::disconnect(readable);
        QObject::disconnect(gone);
        if (!woke) {
            timedOut_ = deadline.hasExpired();
            break;
        }
    }
    // A late answer would be taken for the next command's: start afresh next time. Only
    // events were awaited when there is no command: the connection stays as it is.
    if (id >= 0 || socket_->state() != QLocalSocket::ConnectedState)
        Disconnect();
    return std::nullopt;
}

std::optional<QJsonObject> DevToolsClient::Call(const QString& method, const QJsonObject& params,
                                                const QString& sessionId, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs < 0 ? timeoutMs_ : timeoutMs);
    const qint64 id = Send(method, params, sessionId);
    if (id < 0)
        return std::nullopt;
    return Await(id, deadline, {}, {}, sessionId);
}

std::optional<QString> DevToolsClient::Attach(const QString& targetId) {
    const auto result =
        Call(QStringLiteral("Target.attachToTarget"),
             {{QStringLiteral("targetId"), targetId}, {QStringLiteral("flatten"), true}});
    if (!result)
        return std::nullopt;
    const QString session = result->value(QLatin1String("sessionId")).toString();
    if (session.isEmpty())
        return std::nullopt;
    sessions_.push_back(session);
    // The browser tells a session at once when its tab has crashed, and later when it
    // does; no command then waits for a tab that cannot answer.
    Call(QStringLiteral("Inspector.enable"), {}, session);
    return session;
}

bool DevToolsClient::FindRunning() {
    return Call(QStringLiteral("Browser.getVersion")).has_value();
}

bool DevToolsClient::StartNew(const QString& program, const QStringList& extraArguments,
                              int startTimeoutMs) {
    const QString socketPath = SocketPath();
    if (program.isEmpty() || socketPath.isEmpty() || !MakePrivateFolder(profileFolder_))
        return false;
    // The browser reads its settings once, at start: it must find password saving off
    // then, or a click on its "Save password?" would keep the card's password.
    if (!WriteNoSavingPreferences(profileFolder_))
        return false;
    // The protocol runs over the pipe only: no port, nothing that listens.
    QStringList arguments = {QStringLiteral("--remote-debugging-pipe"),
                             QStringLiteral("--user-data-dir=") + profileFolder_,
                             QStringLiteral("--no-first-run"),
                             QStringLiteral("--no-default-browser-check")};
    arguments += extraArguments;
    // Chromium refuses to start for the superuser unless its sandbox is turned off; without
    // this, Launch WWW could never work in a root session.
    if (::geteuid() == 0 && !arguments.contains(QStringLiteral("--no-sandbox")))
        arguments += QStringLiteral("--no-sandbox");
    std::vector<std::string> command{QFile::encodeName(program).toStdString()};
    for (const QString& argument : arguments)
        command.push_back(argument.toStdString());
    const pid_t keeper = StartKeeperDetached(QFile::encodeName(keeperProgram_).toStdString(),
                                             QFile::encodeName(socketPath).toStdString(), command);
    if (keeper < 0)
        return false;

    const QDeadlineTimer deadline(startTimeoutMs);
    QDeadlineTimer graceAfterExit = QDeadlineTimer::Forever;
    while (!deadline.hasExpired() && !Interrupted()) {
        if (FindRunning()) {
            // The browser answers before its first tab is open; whoever started it goes
            // on with that tab, so it is waited for (a browser still without one by the
            // deadline runs all the same).
            while (Pages().empty() && !deadline.hasExpired() && !Interrupted())
                Pause(50);
            return true;
        }
        // A keeper that ended (its browser did not start, or another keeper serves the
        // folder) gets a moment for the other one to answer.
        if (::kill(keeper, 0) != 0 && graceAfterExit.isForever())
            graceAfterExit = QDeadlineTimer(1000);
        if (graceAfterExit.hasExpired())
            return false;
        Pause(50);
    }
    return false;
}

std::vector<PageTarget> DevToolsClient::Pages() {
    std::vector<PageTarget> pages;
    const auto result = Call(QStringLiteral("Target.getTargets"));
    if (!result)
        return pages;
    // The browser's own pop-ups are listed too and are not tabs.
    for (const QJsonValue& value : result->value(QLatin1String("targetInfos")).toArray()) {
        const QJsonObject target = value.toObject();
        if (target.value(QLatin1String("type")).toString() != QLatin1String("page"))
            continue;
        pages.push_back(PageTarget{target.value(QLatin1String("targetId")).toString(),
                                   target.value(QLatin1String("url")).toString(),
                                   target.value(QLatin1String("title")).toString()});
    }
    return pages;
}

std::optional<std::pair<bool, bool>> DevToolsClient::Shown(const QString& targetId) {
    const std::optional<QString> session = Attach(targetId);
    if (session && SessionLost(*session))
        crashedTargets_.insert(targetId);
    if (!session || SessionLost(*session))
        return std::nullopt;
    // In a world of our own, so the page's scripts cannot answer in the document's place.
    const auto world =
        Call(QStringLiteral("Page.createIsolatedWorld"),
             {{QStringLiteral("frameId"), targetId}, {QStringLiteral("worldName"), "tessaline"}},
             *session, kShownTimeoutMs);
    QJsonObject params{
        {QStringLiteral("expression"),
         QStringLiteral("[document.visibilityState === 'visible', document.hasFocus()]")},
        {QStringLiteral("returnByValue"), true}};
    if (world)
        params.insert(QStringLiteral("contextId"),
                      world->value(QLatin1String("executionContextId")));
    const auto result = Call(QStringLiteral("Runtime.evaluate"), params, *session, kShownTimeoutMs);
    if (!result)
        return std::nullopt;
    const QJsonArray value =
        result->value(QLatin1String("result")).toObject().value(QLatin1String("value")).toArray();
    return std::make_pair(value.at(0).toBool(), value.at(1).toBool());
}

void DevToolsClient::RecordActivePage(const QString& targetId) {
    const QString path = RecordFilePath();
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        file.write(targetId.toLatin1());
    }
}

std::optional<PageTarget> DevToolsClient::OpenNewTab() {
    const auto result = Call(QStringLiteral("Target.createTarget"),
                             {{QStringLiteral("url"), QStringLiteral("about:blank")}});
    const QString target = result ? result->value(QLatin1String("targetId")).toString() : QString();
    if (target.isEmpty())
        return std::nullopt;
    return PageTarget{target, QStringLiteral("about:blank"), {}};
}

std::optional<PageTarget> DevToolsClient::LastActivePage() {
    const std::vector<PageTarget> pages = Pages();
    if (pages.empty())
        return std::nullopt;
    // The tab Tessaline used last, while it is still the one shown in its window; else
    // the shown tab with the focus (the one the user looks at), else a shown tab, else
    // one that answers at all.
    QString recorded;
    if (QFile file(RecordFilePath()); file.open(QIODevice::ReadOnly))
        recorded = QString::fromLatin1(file.read(256)).trimmed();
    std::optional<PageTarget> firstShown;
    std::optional<PageTarget> firstAnswering;
    for (const PageTarget& page : pages)
        if (!recorded.isEmpty() && page.id == recorded) {
            const auto shown = Shown(page.id);
            if (shown && shown->first)
                return page;
            if (shown)
                firstAnswering = page;
        }
    for (const PageTarget& page : pages) {
        if (page.id == recorded)
            continue;
        const auto shown = Shown(page.id);
        if (!shown)
            continue;
        if (!firstAnswering)
            firstAnswering = page;
        if (!shown->first)
            continue;
        if (shown->second)
            return page;
        if (!firstShown)
            firstShown = page;
    }
    if (firstShown)
        return firstShown;
    if (firstAnswering)
        return firstAnswering;
    // A tab that is only slow to answer (a page still loading) is the one to use; once
    // every tab has crashed, the next command goes to a new one.
    for (const PageTarget& page : pages)
        if (crashedTargets_.count(page.id) == 0)
            return page;
    return OpenNewTab();
}

Navigation DevToolsClient::Navigate(const QString& url, bool newWindow) {
    if (!FindRunning())
        return Outcome(Navigation::Result::NoBrowser);
    if (newWindow) {
        const auto result =
            Call(QStringLiteral("Target.createTarget"),
                 {{QStringLiteral("url"), url}, {QStringLiteral("newWindow"), true}});
        const QString target =
            result ? result->value(QLatin1String("targetId")).toString() : QString();
        if (target.isEmpty())
            return Outcome(Navigation::Result::Failed);
        RecordActivePage(target);
        return Outcome(Navigation::Result::Opened);
    }
    const std::optional<PageTarget> page = LastActivePage();
    if (!page)
        return Outcome(Navigation::Result::Failed);
    const std::optional<QString> session = Attach(page->id);
    if (!session)
        return Outcome(Navigation::Result::Failed);
    RecordActivePage(page->id);
    const auto reply =
        Call(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}}, *session);
    return NavigateReply(reply, SessionLost(*session) ? kTabCrashed
                                : timedOut_           ? NoAnswerText(timeoutMs_)
                                                      : std::string());
}

Navigation DevToolsClient::NavigateWithLogin(const QString& url, bool newWindow,
                                             const QString& userId, const QString& password) {
    const std::pair<QString, QString> credentials{userId, password};
    return NavigateAndLoad(url, newWindow, &credentials);
}

Navigation DevToolsClient::NavigateAndWait(const QString& url, bool newWindow) {
    return NavigateAndLoad(url, newWindow, nullptr);
}

Navigation DevToolsClient::NavigateAndLoad(const QString& url, bool newWindow,
                                           const std::pair<QString, QString>* credentials) {
    if (!FindRunning())
        return Outcome(Navigation::Result::NoBrowser);
    QString target;
    if (newWindow) {
        // A blank window first, so that the challenge of the navigation can be answered.
        const auto result = Call(QStringLiteral("Target.createTarget"),
                                 {{QStringLiteral("url"), QStringLiteral("about:blank")},
                                  {QStringLiteral("newWindow"), true}});
        target = result ? result->value(QLatin1String("targetId")).toString() : QString();
    } else if (const std::optional<PageTarget> page = LastActivePage()) {
        target = page->id;
    }
    if (target.isEmpty())
        return Outcome(Navigation::Result::Failed);
    RecordActivePage(target);
    const std::optional<QString> session = Attach(target);
    if (!session || !Call(QStringLiteral("Page.enable"), {}, *session))
        return Outcome(Navigation::Result::Failed);
    if (credentials &&
        !Call(QStringLiteral("Fetch.enable"),
              {{QStringLiteral("handleAuthRequests"), true},
               {QStringLiteral("patterns"),
                QJsonArray{QJsonObject{{QStringLiteral("urlPattern"), QStringLiteral("*")}}}}},
              *session))
        return Outcome(Navigation::Result::Failed);

    const std::string wanted = url.toStdString();
    int answered = 0;
    bool refused = false;
    TopFrameLoad load;
    load.Started(url);
    const EventHandler onEvent = [&](const QJsonObject& event) {
        if (event.value(QLatin1String("sessionId")).toString() != *session)
            return;
        const QString method = event.value(QLatin1String("method")).toString();
        const QJsonObject params = event.value(QLatin1String("params")).toObject();
        const QJsonValue requestId = params.value(QLatin1String("requestId"));
        if (method == QLatin1String("Fetch.requestPaused")) {
            Send(QStringLiteral("Fetch.continueRequest"),
                 {{QStringLiteral("requestId"), requestId}}, *session);
        } else if (method == QLatin1String("Fetch.authRequired")) {
            const QJsonObject challenge = params.value(QLatin1String("authChallenge")).toObject();
            // The browser names the origin in its own form ("http://host", ASCII host); the
            // card's may write the default port out or have letters outside ASCII.
            const bool ours =
                challenge.value(QLatin1String("source")).toString() != QLatin1String("Proxy") &&
                SameWebOrigin(challenge.value(QLatin1String("origin")).toString().toStdString(),
                              wanted);
            // Once per navigation, and only to the card's own origin: a wrong password is
            // not sent again and again, and a site the card's sends the browser on to gets
            // nothing. The same origin asking again has refused the login.
            QJsonObject response{{QStringLiteral("response"), QStringLiteral("CancelAuth")}};
            if (ours && credentials && answered++ == 0)
                response = {{QStringLiteral("response"), QStringLiteral("ProvideCredentials")},
                            {QStringLiteral("username"), credentials->first},
                            {QStringLiteral("password"), credentials->second}};
            else if (ours && credentials)
                refused = true;
            Send(QStringLiteral("Fetch.continueWithAuth"),
                 {{QStringLiteral("requestId"), requestId},
                  {QStringLiteral("authChallengeResponse"), response}},
                 *session);
        } else {
            load.Note(method, params, target);
        }
    };
    const QDeadlineTimer deadline(timeoutMs_);
    const qint64 navigation =
        Send(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}}, *session);
    const std::optional<QJsonObject> reply =
        navigation >= 0 ? Await(navigation, deadline, onEvent, {}, *session) : std::nullopt;
    Navigation outcome = NavigateReply(reply, SessionLost(*session) ? kTabCrashed
                                              : timedOut_           ? NoAnswerText(timeoutMs_)
                                                                    : std::string());
    // The page's own scripts may send the browser on as it loads: the page waited for is
    // the one the tab settles on. Waiting goes in short steps, since settling is a matter
    // of time passing without news.
    while (outcome && !load.Settled() && !deadline.hasExpired() && !SessionLost(*session) &&
           socket_) {
        QDeadlineTimer step(kSettleStepMs);
        if (deadline.remainingTime() < step.remainingTime())
            step = deadline;
        Await(
            -1, step, onEvent, [&load] { return load.Settled(); }, *session);
    }
    if (outcome && SessionLost(*session))
        outcome = Outcome(Navigation::Result::Failed, kTabCrashed);
    else if (outcome && load.awaiting && !load.Settled())
        // The tab was sent to a page that never answered: what it shows is not the page.
        outcome =
            Outcome(Navigation::Result::Failed,
                    NoAnswerText(timeoutMs_, load.awaitedUrl == url ? QString() : load.awaitedUrl));
    // Requests still held are let go when the interception ends.
    if (socket_ && credentials && !SessionLost(*session))
        Call(QStringLiteral("Fetch.disable"), {}, *session);
    if (refused)
        outcome = Outcome(Navigation::Result::LoginRefused);
    if (SessionLost(*session))
        // The crashed tab is not the one to use next time.
        RecordActivePage(QString());
    return outcome;
}

std::vector<PageFrame> DevToolsClient::Frames(const QString& sessionId) {
    std::vector<PageFrame> frames;
    const auto result = Call(QStringLiteral("Page.getFrameTree"), {}, sessionId);
    if (!result)
        return frames;
    std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
        const QJsonObject frame = node.value(QLatin1String("frame")).toObject();
        frames.push_back(PageFrame{frame.value(QLatin1String("id")).toString(),
                                   frame.value(QLatin1String("url")).toString(),
                                   frame.value(QLatin1String("parentId")).toString()});
        for (const QJsonValue& child : node.value(QLatin1String("childFrames")).toArray())
            walk(child.toObject());
    };
    walk(result->value(QLatin1String("frameTree")).toObject());
    return frames;
}

std::optional<QJsonValue> DevToolsClient::CallInIsolatedWorld(const QString& sessionId,
                                                              const QString& frameId,
                                                              const QString& functionDeclaration,
                                                              const QJsonArray& arguments,
                                                              bool awaitPromise) {
    const auto world =
        Call(QStringLiteral("Page.createIsolatedWorld"),
             {{QStringLiteral("frameId"), frameId}, {QStringLiteral("worldName"), "tessaline"}},
             sessionId);
    if (!world)
        return std::nullopt;
    QJsonArray values;
    for (const QJsonValue& argument : arguments)
        values.append(QJsonObject{{QStringLiteral("value"), argument}});
    const auto result = Call(
        QStringLiteral("Runtime.callFunctionOn"),
        {{QStringLiteral("functionDeclaration"), functionDeclaration},
         {QStringLiteral("executionContextId"), world->value(QLatin1String("executionContextId"))},
         {QStringLiteral("arguments"), values},
         {QStringLiteral("returnByValue"), true},
         {QStringLiteral("awaitPromise"), awaitPromise},
         {QStringLiteral("silent"), true}},
        sessionId);
    if (!result || result->contains(QLatin1String("exceptionDetails")))
        return std::nullopt;
    return result->value(QLatin1String("result")).toObject().value(QLatin1String("value"));
}

bool DevToolsClient::Visible() {
    if (!FindRunning())
        return false;
    const std::optional<PageTarget> page = LastActivePage();
    if (!page)
        return false;
    RecordActivePage(page->id);
    return Call(QStringLiteral("Target.activateTarget"), {{QStringLiteral("targetId"), page->id}})
        .has_value();
}

bool DevToolsClient::GoHome() {
    return Navigate(QString::fromLatin1(kHomePage), false).Shown();
}

bool DevToolsClient::OpenHomeWindow() {
    return Navigate(QString::fromLatin1(kHomePage), true).Shown();
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
    Call(QStringLiteral("Browser.close"));
    Disconnect();
    const QDeadlineTimer deadline(timeoutMs_);
    while (!deadline.hasExpired()) {
        if (!FindRunning())
            return true;
        Disconnect();
        Pause(50);
    }
    return false;
}

}  // namespace tessaline::devtools
