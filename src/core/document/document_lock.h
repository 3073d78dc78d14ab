#pragma once
// Which open documents lock, and when: File > Lock, some minutes without use, and the
// desktop's screen lock all come here. Only an encrypted document with a file is locked;
// one with unsaved changes is saved first when automatic saving is on, and otherwise
// stays open, with a message saying so.

#include <chrono>
#include <functional>
#include <string>

#include "core/prefs/frame_keys.h"

namespace tessaline {

class DocumentModel;
class IProfile;

// The minutes of "Lock After Minutes", within 0 to a day; a negative value reads as 0.
int LockAfterMinutes(const IProfile& profile);

struct LockFacts {
    bool encrypted = false;  // saves write an encrypted file
    bool locked = false;
    bool modified = false;
    bool hasFile = false;  // the document has a path to read again
    bool autoSaveOn = false;
};

enum class LockStep {
    Skip,          // plain, already locked, or nothing to lock
    Lock,          // lock at once
    SaveThenLock,  // save the changes, then lock
    KeepOpen,      // unsaved changes that are not saved automatically: not locked
};
LockStep DecideLockStep(const LockFacts& facts);

enum class LockOutcome { Locked, AlreadyLocked, NotEncrypted, UnsavedChanges };

// Locks one document by the rules above. beforeDrop runs just before its cards go
// (whatever points into them lets go). A failed save leaves the document open.
LockOutcome LockDocument(DocumentModel& doc, bool autoSaveOn,
                         const std::function<void()>& beforeDrop = {});

// "NAME has unsaved changes and was not locked"
std::string NotLockedMessage(const std::string& name);

// Counts the time since the user last used the program. Expired() is true once per
// quiet spell, when the minutes have passed; any use starts the count again.
class IdleLockClock {
public:
    using Clock = std::chrono::steady_clock;

    explicit IdleLockClock(Clock::time_point start = Clock::now()) : last_(start) {}
    // 0 = never.
    void SetMinutes(int minutes) { minutes_ = minutes < 0 ? 0 : minutes; }
    int Minutes() const { return minutes_; }
    // The user pressed a key, clicked or scrolled.
    void Touch(Clock::time_point now);
    // True the first time it is asked once the minutes have passed since the last use.
    bool Expired(Clock::time_point now);

private:
    Clock::time_point last_;
    int minutes_ = prefs::kLockAfterMinutesDefault;
    bool fired_ = false;
};

}  // namespace tessaline
