#include "core/cards/card_versions.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <limits>

#include "core/base/secure_wipe.h"
#include "core/cards/card_date.h"
#include "core/cards/card_identity.h"

namespace tessaline {

namespace {

void WipeVersion(CCard& version) {
    version.ForEachText([](std::string& text) { SecureWipe(text); });
}

}  // namespace

ChangeTime ChangeTimeNow() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return ChangeTimeOfMs(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

ChangeTime ChangeTimeOfMs(std::int64_t ms) {
    ChangeTime t;
    t.ms = ms;
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return t;
    const std::uint64_t stamp =
        std::uint64_t{CardTimeOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)} +
        static_cast<std::uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    // Before 1904 the date gives 0 and the hours alone would count from there.
    if (CardTimeOfDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) == 0)
        return t;
    t.legacy = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(stamp, std::numeric_limits<std::uint32_t>::max()));
    return t;
}

void StampNewCard(CCard& card, std::int64_t nowMs) {
    card.SetIdentity(MakeCardIdentity());
    card.SetCreatedMs(nowMs);
    card.SetModifiedMs(nowMs);
}

void GiveIdentityIfNone(CCard& card) {
    if (!HasIdentity(card.Identity()))
        card.SetIdentity(MakeCardIdentity());
}

CCard VersionOf(const CCard& card) {
    CCard version = card;
    for (CCard& old : version.MutableHistory())
        WipeVersion(old);
    version.SetHistory({});
    return version;
}

bool SameContent(const CCard& a, const CCard& b) {
    return a.Name() == b.Name() && a.Address() == b.Address() && a.UserId() == b.UserId() &&
           a.Password() == b.Password() && a.Note() == b.Note() && a.Category() == b.Category() &&
           a.Attributes() == b.Attributes() && a.ExpiresMs() == b.ExpiresMs() &&
           a.Tags() == b.Tags() && a.OtpUri() == b.OtpUri() && a.CustomFields() == b.CustomFields();
}

void TrimHistory(CCard& card, int historySize) {
    std::vector<CCard>& history = card.MutableHistory();
    const std::size_t keep = static_cast<std::size_t>(std::max(historySize, 0));
    if (history.size() <= keep)
        return;
    const auto drop = history.begin() + static_cast<std::ptrdiff_t>(history.size() - keep);
    for (auto it = history.begin(); it != drop; ++it)
        WipeVersion(*it);
    history.erase(history.begin(), drop);
}

void AddToHistory(CCard& card, CCard version, int historySize) {
    if (historySize <= 0) {
        WipeVersion(version);
        TrimHistory(card, 0);
        return;
    }
    card.MutableHistory().push_back(VersionOf(version));
    WipeVersion(version);
    TrimHistory(card, historySize);
}

bool MakeVersionCurrent(CCard& card, std::size_t index) {
    std::vector<CCard>& history = card.MutableHistory();
    if (index >= history.size())
        return false;
    CCard chosen = std::move(history[index]);
    history.erase(history.begin() + static_cast<std::ptrdiff_t>(index));
    CCard current = VersionOf(card);
    std::vector<CCard> kept = std::move(history);
    kept.push_back(std::move(current));
    // What belongs to the card rather than to a version of it stays.
    chosen.SetIdentity(card.Identity());
    chosen.SetCreatedMs(card.CreatedMs());
    chosen.SetRecordId(card.RecordId());
    chosen.SetSyncByte(card.SyncByte());
    chosen.SetRecycledMs(card.RecycledMs());
    chosen.SetListPosition(card.ListPosition());
    chosen.SetHistory(std::move(kept));
    card = std::move(chosen);
    return true;
}

void DropOldTombstones(std::vector<Tombstone>& tombstones, std::int64_t nowMs) {
    std::erase_if(tombstones,
                  [nowMs](const Tombstone& t) { return nowMs - t.deletedMs > kTombstoneKeepMs; });
}

}  // namespace tessaline
