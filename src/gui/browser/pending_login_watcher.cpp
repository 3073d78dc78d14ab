#include "gui/browser/pending_login_watcher.h"

#include "core/browser/browser_commands.h"

namespace tessaline {

PendingLoginWatcher::PendingLoginWatcher(BrowserCommands& commands, StatusSink status,
                                         QObject* parent)
    : QObject(parent), commands_(commands), status_(std::move(status)), timer_(this) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &PendingLoginWatcher::Look);
}

void PendingLoginWatcher::WatchIfPending() {
    if (commands_.LoginPending())
        timer_.start();
    else
        timer_.stop();
}

void PendingLoginWatcher::Look() {
    // A browser call waits in an event loop of its own, where the timer fires again.
    if (looking_)
        return;
    looking_ = true;
    const std::string text = commands_.FillPendingLogin();
    looking_ = false;
    if (!text.empty() && status_)
        status_(text);
    if (!commands_.LoginPending())
        timer_.stop();
}

}  // namespace tessaline
