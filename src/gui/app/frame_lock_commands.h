#pragma once
// File > Lock, the lock after some minutes without use, and the lock when the desktop's
// screen locks. Which documents lock and how is the core's (document/document_lock.h);
// this group finds the moments and tells the user what stayed open.

#include <QObject>

#include "core/document/document_lock.h"

class QTimer;

namespace tessaline {

class CMainFrame;
class IProfile;

class CFrameLockCommands : public QObject {
    Q_OBJECT
public:
    // How often the time without use is looked at.
    static constexpr int kIdleCheckMs = 15'000;

    CFrameLockCommands(CMainFrame& frame, IProfile& profile);
    ~CFrameLockCommands() override;

    // The group wired into a frame, or nullptr.
    static CFrameLockCommands* Of(CMainFrame& frame);

    // Locks every open encrypted document. Documents with unsaved changes that were not
    // locked are named in the status bar. Waits while a dialog is open.
    void LockAll();
    // The desktop's screen was locked.
    void OnScreenLocked() { LockAll(); }
    // One look at the time without use; locks when the minutes have passed.
    void CheckIdle(IdleLockClock::Clock::time_point now);
    // Reads "Lock After Minutes" again (after the Preferences sheet).
    void ReloadMinutes();
    IdleLockClock& IdleClock() { return idle_; }
    // Whether a lock waits for a dialog to close.
    bool LockPending() const { return pending_; }

protected:
    // Any key, click or wheel turn in the program counts as use.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AnyLockable() const;
    void LockNow();

    CMainFrame& frame_;
    IProfile& profile_;
    IdleLockClock idle_;
    QTimer* idleTimer_;
    bool pending_ = false;
};

}  // namespace tessaline
