#pragma once
// File > Lock, the lock after some minutes without use, and the lock when the desktop's
// screen locks. Which documents lock and how is the core's (document/document_lock.h);
// this group finds the moments, closes what is open, clears a secret the program put on
// the clipboard, tells the user what could not be locked, and after an unlock offers the
// card editors the lock closed again.

#include <QObject>
#include <QPointer>
#include <list>
#include <vector>

#include "core/document/document_lock.h"

class QTimer;

namespace tessaline {

class CCardDialog;
class CChildFrame;
class CMainFrame;
class IProfile;
class IUserAnswers;

class CFrameLockCommands : public QObject {
    Q_OBJECT
public:
    // How often the time without use is looked at.
    static constexpr int kIdleCheckMs = 15'000;
    // How often a lock under way looks whether the dialogs it closed have ended.
    static constexpr int kRetryMs = 10;

    CFrameLockCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile);
    ~CFrameLockCommands() override;

    // The group wired into a frame, or nullptr.
    static CFrameLockCommands* Of(CMainFrame& frame);

    // Clears the clipboard if it holds a secret the program put there, and locks every
    // open encrypted document, without waiting and without saving: open menus and
    // dialogs close first (a card editor's content is kept with its document), and the
    // documents lock as soon as the work those dialogs belonged to has let go. Documents
    // that could not be locked are named in the status bar.
    void LockAll();
    // The desktop's screen was locked.
    void OnScreenLocked() { LockAll(); }
    // One look at the time without use; locks when the minutes have passed.
    void CheckIdle(IdleLockClock::Clock::time_point now);
    // Reads "Lock After Minutes" again (after the Preferences sheet).
    void ReloadMinutes();
    IdleLockClock& IdleClock() { return idle_; }
    // Whether a lock is under way: the dialogs it closed are still ending.
    bool LockPending() const { return pending_; }

protected:
    // Any key, click or wheel turn in the program counts as use.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AnyLockable() const;
    // Keeps what a card editor holds for the document it belongs to.
    void KeepDraft(CCardDialog& editor);
    void TryLock();
    void LockNow();
    // Opens each card editor again with what it held, once the present work is done.
    void OfferDrafts(CChildFrame* child, std::vector<CardDraft> drafts);
    void ReopenEditors(CChildFrame* child, std::vector<CardDraft>& drafts);
    void WatchUnlock(CChildFrame* child);

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
    IdleLockClock idle_;
    QTimer* idleTimer_;
    bool pending_ = false;
    bool locking_ = false;
    // The event loop level the lock waits for: that of the work the closed dialogs
    // interrupted.
    int lockLevel_ = 0;
    int tries_ = 0;
    // What the closed card editors held, with the window of their document.
    struct KeptDraft {
        QPointer<CChildFrame> child;
        CardDraft draft;
    };
    // A list: its entries never move, so no copy of a text is left behind in memory.
    std::list<KeptDraft> drafts_;
};

}  // namespace tessaline
