#include "gui/browser/pending_login_watcher.h"

#include <memory>

#include "core/browser/browser_commands.h"

namespace tessaline {

PendingLoginWatcher::PendingLoginWatcher(BrowserCommands& commands, StatusSink status,
                                         Starter start, QObject* parent)
    : QObject(parent),
      commands_(commands),
      status_(std::move(status)),
      start_(std::move(start)),
      timer_(this) {
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
    // While another browser call runs, the next tick looks again.
    auto text = std::make_shared<std::string>();
    BrowserCommands* commands = &commands_;
    start_([commands, text] { *text = commands->FillPendingLogin(); },
           [this, text] {
               if (!text->empty() && status_)
                   status_(*text);
               WatchIfPending();
           });
}

}  // namespace tessaline
