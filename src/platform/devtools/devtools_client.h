#pragma once
// A small, synchronous client for the DevTools protocol of a Chromium-family browser
// that runs on a profile folder of Tessaline's own.
//
// The browser speaks the protocol over a private pipe (--remote-debugging-pipe), never
// over a network port. Its far end is held by our keeper program
// (tessaline-browser-keeper), which serves it to processes of our own user over a local
// socket in the private socket folder; "the running browser" is a keeper that answers
// there. Only the browser target is reached directly; tabs are reached through the
// Target domain with flattened sessions. Each call waits at most its time-out and
// reports every failure (no keeper, a refused command, a time-out) as false. Waiting
// runs a local event loop of the calling thread that leaves out user input; the window
// makes its calls from a thread of their own, and asking that thread to stop
// (QThread::requestInterruption) ends every wait at once. A tab that crashed is noticed
// from the browser's word on it, not waited for, and a command that finds no tab that
// answers and is not crashed opens a new one.

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocalSocket>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "core/browser/browser_interfaces.h"

namespace tessaline::devtools {

// One tab of the browser.
struct PageTarget {
    QString id;
    QString url;
    QString title;
};

// One frame of a tab.
struct PageFrame {
    QString id;
    QString url;
    QString parentId;  // empty for the top frame
};

class DevToolsClient {
public:
    // The page the browser starts with and GoHome shows.
    static constexpr const char* kHomePage = "chrome://newtab/";

    explicit DevToolsClient(QString profileFolder, int timeoutMs = 10000);
    ~DevToolsClient();
    DevToolsClient(const DevToolsClient&) = delete;
    DevToolsClient& operator=(const DevToolsClient&) = delete;

    const QString& ProfileFolder() const { return profileFolder_; }
    // The keeper's socket for this profile folder, in the private socket folder (empty
    // when that folder cannot be had).
    QString SocketPath() const;
    void SetTimeout(int timeoutMs) { timeoutMs_ = timeoutMs; }
    // tessaline-browser-keeper beside the running program, unless set.
    void SetKeeperProgram(const QString& program) { keeperProgram_ = program; }
    static QString DefaultKeeperProgram();

    // Whether a keeper serves this profile folder and its browser answers.
    bool FindRunning();
    // Starts `program` on the profile folder with --remote-debugging-pipe under a new
    // keeper and waits up to `startTimeoutMs` until it answers. The profile's settings
    // are made to save no passwords first (WriteNoSavingPreferences); when they cannot
    // be, nothing is started.
    bool StartNew(const QString& program, const QStringList& extraArguments = {},
                  int startTimeoutMs = 20000);

    // The calls made on the running browser; the last active tab is "its window".
    // NoBrowser when no browser answers; Failed when it refuses the address or cannot
    // reach the site (it then shows its error page).
    Navigation Navigate(const QString& url, bool newWindow);
    // Navigates as Navigate does, answering the HTTP authentication challenge of the
    // address's own origin (server, not proxy; a default port written out is the same as
    // none) with the user ID and password once; a second challenge, or one of another
    // origin, is cancelled, and a second one of that origin ends as LoginRefused. Waits
    // for the page's load (at most the time-out) so that the challenge can be answered.
    Navigation NavigateWithLogin(const QString& url, bool newWindow, const QString& userId,
                                 const QString& password);
    // Navigates as Navigate does and waits for the page's load (at most the time-out).
    // A page that sends the browser on from its own scripts as it loads is followed to
    // the page the tab settles on; one that never answers ends as Failed, saying so.
    Navigation NavigateAndWait(const QString& url, bool newWindow);
    bool Visible();  // brings the last active tab to the front
    bool GoHome();
    bool LocationURL(QString& url);
    bool LocationName(QString& title);
    // Opens the home page in a new window of the running browser.
    bool OpenHomeWindow();
    // Ends the browser (and so its keeper).
    bool CloseBrowser();

    std::optional<PageTarget> LastActivePage();

    // One command; sessionId empty: on the browser itself. Its "result", or none on an
    // error, a closed connection or a time-out.
    std::optional<QJsonObject> Call(const QString& method, const QJsonObject& params = {},
                                    const QString& sessionId = {}, int timeoutMs = -1);
    // A flattened session on a tab (detached again when this client ends).
    std::optional<QString> Attach(const QString& targetId);
    // Whether the tab of that session has crashed or closed: it answers nothing more.
    bool SessionLost(const QString& sessionId) const;
    // The frames of the tab of that session, the top frame first, then its descendants
    // in document order.
    std::vector<PageFrame> Frames(const QString& sessionId);
    // Calls the script function `functionDeclaration` in a world of Tessaline's own in
    // that frame, so that the page's scripts can neither see it nor answer in its place.
    // The arguments travel as values beside the function, never as part of its text.
    // The value the function returned (with `awaitPromise`, the value its promise came
    // to), or none when it could not run or threw.
    std::optional<QJsonValue> CallInIsolatedWorld(const QString& sessionId, const QString& frameId,
                                                  const QString& functionDeclaration,
                                                  const QJsonArray& arguments,
                                                  bool awaitPromise = false);

    using EventHandler = std::function<void(const QJsonObject& event)>;

private:
    // Sends one command without waiting; its id, or -1 when there is no connection.
    qint64 Send(const QString& method, const QJsonObject& params, const QString& sessionId);
    // Waits for the reply to `id` (none: waits until `until` holds), handing every event
    // that arrives meanwhile to `onEvent`; gives up at once when the tab of `sessionId`
    // crashes or closes.
    std::optional<QJsonObject> Await(qint64 id, const QDeadlineTimer& deadline,
                                     const EventHandler& onEvent,
                                     const std::function<bool()>& until = {},
                                     const QString& sessionId = {});
    // Remembers the sessions whose tab the event says crashed or closed.
    void NoteLostSession(const QJsonObject& event);
    // A new tab on a blank page, in the last window.
    std::optional<PageTarget> OpenNewTab();
    // Navigates, answering HTTP authentication with `credentials` when given, and waits
    // for the page's load.
    Navigation NavigateAndLoad(const QString& url, bool newWindow,
                               const std::pair<QString, QString>* credentials);
    bool Connect();
    void Disconnect();
    std::vector<PageTarget> Pages();
    // Whether the tab is the one shown in its window, and whether it has the focus.
    std::optional<std::pair<bool, bool>> Shown(const QString& targetId);
    QString RecordFilePath() const;
    void RecordActivePage(const QString& targetId);

    QString profileFolder_;
    int timeoutMs_;
    QString keeperProgram_;
    std::optional<QLocalSocket> socket_;
    QByteArray received_;
    qint64 nextId_ = 1;
    std::vector<QString> sessions_;
    std::set<QString> lostSessions_;
    std::set<QString> crashedTargets_;  // tabs found crashed
    bool timedOut_ = false;             // the last wait ended at its deadline
};

// Creates the folder (and its parents) readable by its owner only.
bool MakePrivateFolder(const QString& folder);

}  // namespace tessaline::devtools
