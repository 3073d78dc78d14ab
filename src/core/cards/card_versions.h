#pragma once
// The rules of a card's life that need no document: when it was made and changed, the
// earlier versions it keeps, and how long what is left of a card deleted for good is kept.

#include <cstdint>
#include <vector>

#include "core/cards/card.h"
#include "core/cards/card_collection.h"

namespace tessaline {

// The moment of a change: milliseconds since 1970 UTC, and the same moment as the 32-bit
// card time stamp older layouts keep (seconds since 1904, local time).
struct ChangeTime {
    std::int64_t ms = 0;
    std::uint32_t legacy = 0;
};
// Now.
ChangeTime ChangeTimeNow();
// The moment ms stands for, with its card time stamp.
ChangeTime ChangeTimeOfMs(std::int64_t ms);

// A card that did not exist before: a new identity, created and modified now.
void StampNewCard(CCard& card, std::int64_t nowMs);
// A card read from a layout that keeps no identity gets one the first time it changes.
void GiveIdentityIfNone(CCard& card);

// The card as one version of itself: complete, without the earlier versions.
CCard VersionOf(const CCard& card);
// Whether two versions say the same: texts, category, flags and optional fields (times,
// identity and history aside).
bool SameContent(const CCard& a, const CCard& b);
// Appends version (its own history dropped) to the card's history and keeps only the
// newest historySize versions (0 = none).
void AddToHistory(CCard& card, CCard version, int historySize);
// Drops the oldest versions beyond historySize.
void TrimHistory(CCard& card, int historySize);
// Makes the card's earlier version at index (0 = the oldest) current again: that version
// leaves the history and the current one joins it, so nothing is lost. The identity, the
// creation time, the handheld fields and the recycle-bin time stay. False for an index
// outside the history.
bool MakeVersionCurrent(CCard& card, std::size_t index);

// How long a tombstone is kept: a year.
inline constexpr std::int64_t kTombstoneKeepMs = 365LL * 24 * 60 * 60 * 1000;
// Drops the tombstones older than a year at nowMs (done when a file is saved).
void DropOldTombstones(std::vector<Tombstone>& tombstones, std::int64_t nowMs);

}  // namespace tessaline
