#include "gui/browser/browser_call_runner.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tessaline {

struct BrowserCallRunner::Call {
    QString what;
    std::function<void()> work;
    std::function<void()> done;
    BrowserCallRunner* runner = nullptr;
    // Set on the window's thread only, when the call is given up.
    std::atomic<bool> abandoned{false};
};

namespace {

// The call the current thread runs, on a call's thread only.
thread_local std::shared_ptr<BrowserCallRunner::Call> tCurrentCall;

// One task handed from a call's thread to the window's thread.
struct Handover {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    bool finished = false;
    bool ran = false;
};

}  // namespace

BrowserCallRunner::BrowserCallRunner(QObject* parent) : QObject(parent), limit_(new QTimer(this)) {
    limit_->setSingleShot(true);
    connect(limit_, &QTimer::timeout, this, &BrowserCallRunner::GiveUp);
}

BrowserCallRunner::~BrowserCallRunner() {
    if (!thread_)
        return;
    if (call_)
        call_->abandoned = true;
    thread_->requestInterruption();
    thread_->quit();
    thread_->wait();
}

QString BrowserCallRunner::GaveUpText(const QString& what, int timeLimitMs) {
    const int seconds = (timeLimitMs + 999) / 1000;
    return QStringLiteral(
               "The web browser did not finish %1 within %2 %3: Tessaline stopped "
               "waiting for it.")
        .arg(what)
        .arg(seconds)
        .arg(seconds == 1 ? QStringLiteral("second") : QStringLiteral("seconds"));
}

bool BrowserCallRunner::Start(const QString& what, std::function<void()> work,
                              std::function<void()> done) {
    if (Busy())
        return false;
    auto call = std::make_shared<Call>();
    call->what = what;
    call->work = std::move(work);
    call->done = std::move(done);
    call->runner = this;
    call_ = call;
    thread_.reset(QThread::create([call] {
        tCurrentCall = call;
        call->work();
        tCurrentCall.reset();
    }));
    // Emitted on the call's thread, handled on this one.
    connect(thread_.get(), &QThread::finished, this, &BrowserCallRunner::Finished,
            Qt::QueuedConnection);
    limit_->start(timeLimitMs_);
    thread_->start();
    emit busyChanged(true);
    return true;
}

bool BrowserCallRunner::RunAndWait(const QString& what, std::function<void()> work) {
    bool finished = false;
    QEventLoop loop;
    if (!Start(what, std::move(work), [&finished] { finished = true; }))
        return false;
    const auto ended = connect(this, &BrowserCallRunner::busyChanged, &loop, [&loop](bool busy) {
        if (!busy)
            loop.quit();
    });
    if (Busy())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    disconnect(ended);
    return finished;
}

void BrowserCallRunner::GiveUp() {
    if (!thread_ || !call_ || call_->abandoned)
        return;
    call_->abandoned = true;
    // Every wait of the call ends at once; the thread ends soon after, and only then may
    // the next call start.
    thread_->requestInterruption();
    thread_->quit();
    emit gaveUp(GaveUpText(call_->what, timeLimitMs_));
}

void BrowserCallRunner::Finished() {
    if (!thread_ || !thread_->isFinished())
        return;
    limit_->stop();
    thread_->wait();
    thread_.reset();
    const std::shared_ptr<Call> call = std::move(call_);
    emit busyChanged(false);
    if (call && !call->abandoned && call->done)
        call->done();
}

void BrowserCallRunner::PauseLimit(bool paused) {
    if (!thread_ || (call_ && call_->abandoned))
        return;
    if (paused) {
        pausedRemainingMs_ = limit_->isActive() ? limit_->remainingTime() : 0;
        limit_->stop();
    } else {
        limit_->start(pausedRemainingMs_);
    }
}

bool BrowserCallRunner::InCall() {
    return tCurrentCall != nullptr;
}

bool BrowserCallRunner::OnWindowThread(const std::function<void()>& task) {
    const std::shared_ptr<Call> call = tCurrentCall;
    if (!call) {
        task();
        return true;
    }
    if (call->abandoned || QThread::currentThread()->isInterruptionRequested())
        return false;
    auto handover = std::make_shared<Handover>();
    // The runner outlives the call's thread (its destructor waits for it), so it is
    // there to run the task.
    BrowserCallRunner* runner = call->runner;
    QMetaObject::invokeMethod(
        runner,
        [runner, call, handover, task] {
            {
                const std::lock_guard<std::mutex> lock(handover->mutex);
                // Given up meanwhile: the call's thread no longer waits for this.
                if (call->abandoned) {
                    handover->finished = true;
                    handover->changed.notify_all();
                    return;
                }
                handover->started = true;
            }
            runner->PauseLimit(true);
            task();
            runner->PauseLimit(false);
            const std::lock_guard<std::mutex> lock(handover->mutex);
            handover->ran = true;
            handover->finished = true;
            handover->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(handover->mutex);
    while (!handover->finished) {
        handover->changed.wait_for(lock, std::chrono::milliseconds(50));
        // A task that has begun is waited for: it may write to what this thread holds.
        if (!handover->started && QThread::currentThread()->isInterruptionRequested())
            return false;
    }
    return handover->ran;
}

}  // namespace tessaline
