#pragma once
// A small, synchronous client for the DevTools protocol of a Chromium-family browser
// that runs on a profile folder of Tessaline's own and listens on 127.0.0.1.
//
// The browser writes "<profile>/DevToolsActivePort" (line 1 the port, line 2 the path of
// its browser endpoint) when it was started with --remote-debugging-port=0. Each call
// looks for the browser afresh, waits at most its time-out, and reports every failure
// (no port file, a port that does not answer, a refused command, a time-out) as false.
// Waiting runs a local event loop that leaves out user input.

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessaline::devtools {

// One tab of the browser.
struct PageTarget {
    QString id;
    QString url;
    QString title;
    QString webSocketPath;  // path of the page's endpoint on the browser's port
};

class DevToolsClient {
public:
    // The page the browser starts with and GoHome shows.
    static constexpr const char* kHomePage = "chrome://newtab/";

    explicit DevToolsClient(QString profileFolder, int timeoutMs = 10000);

    const QString& ProfileFolder() const { return profileFolder_; }
    QString PortFilePath() const;
    void SetTimeout(int timeoutMs) { timeoutMs_ = timeoutMs; }

    // Whether a browser runs on the profile folder and answers on its port.
    bool FindRunning();
    // Starts `program` on the profile folder with --remote-debugging-port=0 (a stale port
    // file is deleted first) and waits up to `startTimeoutMs` until it answers.
    bool StartNew(const QString& program, const QStringList& extraArguments = {},
                  int startTimeoutMs = 20000);

    // The calls made on the running browser; the last active tab is "its window".
    bool Navigate(const QString& url, bool newWindow);
    bool Visible();  // brings the last active tab to the front
    bool GoHome();
    bool LocationURL(QString& url);
    bool LocationName(QString& title);
    // Opens the home page in a new window of the running browser.
    bool OpenHomeWindow();
    // Ends the browser.
    bool CloseBrowser();

    std::optional<PageTarget> LastActivePage();

private:
    bool ReadPortFile(quint16& port, QString& browserPath) const;
    std::optional<QByteArray> Http(const QByteArray& verb, const QString& pathAndQuery);
    // One command on an endpoint: its "result", or none on an error or a time-out.
    std::optional<QJsonObject> Call(const QString& endpointPath, const QString& method,
                                    const QJsonObject& params);

    QString profileFolder_;
    int timeoutMs_;
    quint16 port_ = 0;
    QString browserPath_;
};

// Creates the folder (and its parents) readable by its owner only.
bool MakePrivateFolder(const QString& folder);

}  // namespace tessaline::devtools
