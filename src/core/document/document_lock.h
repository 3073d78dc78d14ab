#pragma once
// Which open documents lock, and how: File > Lock, some minutes without use, and the
// desktop's screen lock all come here. Every encrypted document locks, at once: one whose
// file holds all it has drops its cards and reads the file again to unlock; one with
// unsaved changes, without a file, or with card editors the lock closed keeps all of it
// sealed in memory under its password. Nothing is saved, asked or lost on the way.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/document/sealed_changes.h"
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
    bool hasFile = false;    // the document has a path to read again
    bool hasDrafts = false;  // card editors the lock closed
};

enum class LockStep {
    Skip,  // plain or already locked
    Lock,  // drop the cards; the file is read again to unlock
    Seal,  // seal the cards and drafts in memory, then drop them
};
LockStep DecideLockStep(const LockFacts& facts);

enum class LockOutcome { Locked, AlreadyLocked, NotEncrypted, NotSealed };

// Locks one document by the rules above. beforeDrop runs just before its cards go
// (whatever points into them lets go). The drafts are wiped whatever happens. When the
// changes cannot be sealed the document stays open as it was and why says why.
LockOutcome LockDocument(DocumentModel& doc, std::vector<CardDraft> drafts = {},
                         const std::function<void()>& beforeDrop = {}, std::string* why = nullptr);

// "NAME was not locked: its unsaved changes could not be sealed (REASON)"
std::string NotSealedMessage(const std::string& name, const std::string& reason);

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
