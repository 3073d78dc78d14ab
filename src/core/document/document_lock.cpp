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
    // Only a file that holds all the document has can stand in for its cards.
    if (f.modified || !f.hasFile || f.hasDrafts)
        return LockStep::Seal;
    return LockStep::Lock;
}

LockOutcome LockDocument(DocumentModel& doc, std::vector<CardDraft> drafts,
                         const std::function<void()>& beforeDrop, std::string* why) {
    const bool wasLocked = doc.IsLocked();
    std::vector<MessageRequest> reasons;
    if (doc.Lock(std::move(drafts), &reasons, beforeDrop))
        return LockOutcome::Locked;
    if (wasLocked)
        return LockOutcome::AlreadyLocked;
    if (doc.EncryptionState() != 1)
        return LockOutcome::NotEncrypted;
    if (why) {
        why->clear();
        for (const MessageRequest& reason : reasons)
            *why += (why->empty() ? "" : " ") + reason.text;
    }
    return LockOutcome::NotSealed;
}

std::string NotSealedMessage(const std::string& name, const std::string& reason) {
    std::string text = name + " was not locked: its unsaved changes could not be sealed";
    if (!reason.empty())
        text += " (" + reason + ")";
    return text;
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
