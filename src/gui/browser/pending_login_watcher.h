#pragma once
// The window's side of a two-step login: while a login waits for its password page, it
// hands the page the browser shows to the browser commands twice a second, and shows what
// came of the fill in the status bar. Each look is a browser call like any other: it runs
// through the starter given, which runs one call at a time away from the window's thread.

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

namespace tessaline {

class BrowserCommands;

class PendingLoginWatcher : public QObject {
public:
    static constexpr int kIntervalMs = 500;
    using StatusSink = std::function<void(const std::string& text)>;
    // Runs work (on a thread of its own), then done on the window's thread; false, with
    // nothing run, while another browser call is busy.
    using Starter = std::function<bool(std::function<void()> work, std::function<void()> done)>;

    PendingLoginWatcher(BrowserCommands& commands, StatusSink status, Starter start,
                        QObject* parent = nullptr);

    // Starts looking when a login waits (after Load Web Page and Fill Login).
    void WatchIfPending();
    bool Watching() const { return timer_.isActive(); }

private:
    void Look();

    BrowserCommands& commands_;
    StatusSink status_;
    Starter start_;
    QTimer timer_;
};

}  // namespace tessaline
