#pragma once
// Runs the window's calls to the automation browser on a thread of their own, one at a
// time, so that the window never waits for the browser: it repaints, its timers run and
// the user can go on working while a page loads. What a call needs from the window
// (a question to the user, a setting, the DDE route) is asked on the window's thread
// through OnWindowThread. A call that takes longer than the time limit is given up: its
// waits end at once, its result is dropped and the window is told why.

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class QTimer;

namespace tessaline {

class BrowserCallRunner : public QObject {
    Q_OBJECT
public:
    // The status bar's text while a call runs.
    static constexpr const char* kWaitingText = "Waiting for the web browser\u2026";

    // One call, shared by the window's thread and the call's own.
    struct Call;

    explicit BrowserCallRunner(QObject* parent = nullptr);
    // Gives up a call still running and waits for its thread to end.
    ~BrowserCallRunner() override;
    BrowserCallRunner(const BrowserCallRunner&) = delete;
    BrowserCallRunner& operator=(const BrowserCallRunner&) = delete;

    // How long one call may take, not counting the time the user spends answering its
    // questions.
    void SetTimeLimit(int ms) { timeLimitMs_ = ms; }
    int TimeLimit() const { return timeLimitMs_; }

    // Whether a call runs (or a given-up one is still ending).
    bool Busy() const { return thread_ != nullptr; }

    // Runs `work` on a new thread, then `done` on this object's thread (not when the call
    // was given up). `what` names the call in the give-up message ("Load Web Page").
    // False, and nothing runs, while another call is busy.
    bool Start(const QString& what, std::function<void()> work, std::function<void()> done);
    // Runs `work` as Start does and waits for it with a local event loop that leaves out
    // user input: for the few calls that must answer at once (a dialog asking for what
    // the page holds). False when another call is busy or this one was given up.
    bool RunAndWait(const QString& what, std::function<void()> work);

    // Runs `task` on the window's thread: at once when called there, else queued to the
    // runner of the calling thread's call, waiting until it ran. False, with `task` not
    // run, when that call was given up meanwhile.
    static bool OnWindowThread(const std::function<void()>& task);
    // Whether the calling thread is a call's.
    static bool InCall();

    // The message shown when a call is given up.
    static QString GaveUpText(const QString& what, int timeLimitMs);

signals:
    // A call started, or the last one ended.
    void busyChanged(bool busy);
    // A call was given up after the time limit; `message` says what was waited for.
    void gaveUp(const QString& message);

private:
    void GiveUp();
    void Finished();
    // The time limit pauses while the user answers a question of the call.
    void PauseLimit(bool paused);

    int timeLimitMs_ = 60000;
    int pausedRemainingMs_ = 0;
    std::unique_ptr<QThread> thread_;  // the running call's
    QTimer* limit_ = nullptr;          // child
    std::shared_ptr<Call> call_;
};

}  // namespace tessaline
