#include "platform/busy_work.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <memory>

#include "core/base/stack_wipe.h"

namespace tessaline {

void RunOffGuiThread(QWidget* parent, const QString& what, const std::function<void()>& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        work();
        return;
    }

    QEventLoop loop;
    // The work (deriving a key) leaves its frames on this thread's stack, which the system
    // keeps for the next thread: they are cleared before the thread ends.
    std::unique_ptr<QThread> thread(QThread::create([&work] {
        work();
        WipeStackBelow();
    }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);

    QProgressDialog progress(what, QString(), 0, 0, parent);
    progress.setWindowTitle(QStringLiteral("Tessaline"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setCancelButton(nullptr);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(kBusyWindowDelayMs);
    QTimer showLater;
    showLater.setSingleShot(true);
    QObject::connect(&showLater, &QTimer::timeout, &progress, &QProgressDialog::show);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    thread->start();
    showLater.start(kBusyWindowDelayMs);
    // Clicks and keys wait for the work: a second save or a close must not start in the
    // middle of this one. Painting and timers go on.
    if (thread->isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    showLater.stop();
    progress.hide();
    QApplication::restoreOverrideCursor();
}

}  // namespace tessaline
