#include "core/document/document_lock.h"

#include <algorithm>

#include "core/document/document_model.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"

namespace tessaline {

int LockAfterMinutes(const IProfile& profile) {
    const int minutes = profile.GetInt(prefs::kGeneralSection, prefs::kLockAfterMinutes,
                                       prefs::kLockAfterMinutesDefault);
    return std::clamp(minutes, 0, prefs::kLockAfterMinutesMax);
}

LockStep DecideLockStep(const LockFacts& f) {
    if (f.locked || !f.encrypted)
        return LockStep::Skip;
    if (!f.hasFile)
        // Nothing on disk to read back: an untitled document is never locked, and one
        // with changes is never put through a Save As chooser behind the user's back.
        return f.modified ? LockStep::KeepOpen : LockStep::Skip;
    if (!f.modified)
        return LockStep::Lock;
    return f.autoSaveOn ? LockStep::SaveThenLock : LockStep::KeepOpen;
}

LockOutcome LockDocument(DocumentModel& doc, bool autoSaveOn,
                         const std::function<void()>& beforeDrop) {
    const LockFacts facts{doc.EncryptionState() == 1, doc.IsLocked(), doc.IsModified(),
                          !doc.PathName().empty(), autoSaveOn};
    switch (DecideLockStep(facts)) {
        case LockStep::Skip:
            return doc.IsLocked() ? LockOutcome::AlreadyLocked : LockOutcome::NotEncrypted;
        case LockStep::KeepOpen:
            return LockOutcome::UnsavedChanges;
        case LockStep::SaveThenLock:
            // The save says itself why it failed; the changes stay in the open document.
            if (!doc.Save() || doc.IsModified())
                return LockOutcome::UnsavedChanges;
            if (doc.EncryptionState() != 1)
                return LockOutcome::NotEncrypted;
            break;
        case LockStep::Lock:
            break;
    }
    if (beforeDrop)
        beforeDrop();
    return doc.Lock() ? LockOutcome::Locked : LockOutcome::UnsavedChanges;
}

std::string NotLockedMessage(const std::string& name) {
    return name + " has unsaved changes and was not locked";
}

void IdleLockClock::Touch(Clock::time_point now) {
    last_ = now;
    fired_ = false;
}

bool IdleLockClock::Expired(Clock::time_point now) {
    if (minutes_ == 0 || fired_)
        return false;
    if (now - last_ < std::chrono::minutes(minutes_))
        return false;
    fired_ = true;
    return true;
}

}  // namespace tessaline
