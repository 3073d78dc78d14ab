#pragma once
// The window's side of a two-step login: while a login waits for its password page, it
// hands the page the browser shows to the browser commands twice a second, and shows what
// came of the fill in the status bar.

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

    PendingLoginWatcher(BrowserCommands& commands, StatusSink status, QObject* parent = nullptr);

    // Starts looking when a login waits (after Load Web Page and Fill Login).
    void WatchIfPending();
    bool Watching() const { return timer_.isActive(); }

private:
    void Look();

    BrowserCommands& commands_;
    StatusSink status_;
    QTimer timer_;
    bool looking_ = false;
};

}  // namespace tessaline
