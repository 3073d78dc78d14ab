#include "core/health/password_health.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <string_view>

#include "core/cards/card_date.h"
#include "core/cards/categories.h"
#include "core/cards/text_folding.h"
#include "core/health/password_strength.h"

namespace tessaline {

namespace {

// The two texts are the same, letter case ignored as the search ignores it.
bool SameFolded(const std::string& a, const std::string& b) {
    std::u32string fa = FoldedStoredText(a);
    std::u32string fb = FoldedStoredText(b);
    const bool same = fa == fb;
    WipeFolded(fa);
    WipeFolded(fb);
    return same;
}

std::int64_t WholeDays(std::int64_t ms) {
    return ms / kMsPerDay;
}

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::optional<std::int64_t> CardChangedMs(const CCard& card) {
    // A stamp of 0 is no time at all, and the milliseconds a reader works out from it fall
    // in 1904, before 1970: such a card's age is unknown rather than over a century.
    if (card.ModifiedMs() > 0)
        return card.ModifiedMs();
    if (card.ModificationTime() == 0)
        return std::nullopt;
    // The stamp counts local time; the local clock's offset at that moment turns it into UTC.
    const std::time_t local =
        static_cast<std::time_t>(std::int64_t{card.ModificationTime()} - kSeconds1904To1970);
    std::tm asUtc{};
    if (!gmtime_r(&local, &asUtc))
        return std::int64_t{local} * 1000;
    asUtc.tm_isdst = -1;
    const std::time_t utc = std::mktime(&asUtc);
    return std::int64_t{utc == static_cast<std::time_t>(-1) ? local : utc} * 1000;
}

std::vector<const CCard*> CardsToCheck(const CCardCollection& cards) {
    std::vector<const CCard*> out;
    for (int code : kExportOrder)
        out.insert(out.end(), cards.List(code).begin(), cards.List(code).end());
    return out;
}

std::vector<HealthFinding> CheckPasswordHealth(std::span<const CCard* const> cards,
                                               std::int64_t nowMs) {
    std::vector<HealthFinding> weak, reused, old, expired, sameName, sameUser;

    // The cards of each password, in card order; the map keeps views of the cards' own
    // texts, so no password is copied.
    std::map<std::string_view, std::vector<const CCard*>> byPassword;
    std::vector<std::string_view> firstSeen;

    for (const CCard* card : cards) {
        const std::string& password = card->Password();
        if (card->ExpiresMs() && *card->ExpiresMs() <= nowMs) {
            expired.push_back({.card = card,
                               .problem = HealthProblem::Expired,
                               .days = WholeDays(nowMs - *card->ExpiresMs())});
        }
        if (password.empty())
            continue;
        const PasswordStrength strength = EstimateStoredStrength(password);
        if (strength.bits < kGoodFromBits)
            weak.push_back({.card = card, .problem = HealthProblem::Weak, .bits = strength.bits});
        auto& holders = byPassword[password];
        if (holders.empty())
            firstSeen.push_back(password);
        holders.push_back(card);
        if (const std::optional<std::int64_t> changed = CardChangedMs(*card);
            changed && nowMs - *changed > kOldPasswordDays * kMsPerDay) {
            old.push_back(
                {.card = card, .problem = HealthProblem::Old, .days = WholeDays(nowMs - *changed)});
        }
        if (SameFolded(password, card->Name()))
            sameName.push_back({.card = card, .problem = HealthProblem::SameAsName});
        if (!card->UserId().empty() && SameFolded(password, card->UserId()))
            sameUser.push_back({.card = card, .problem = HealthProblem::SameAsUserId});
    }

    int group = 0;
    for (std::string_view password : firstSeen) {
        const std::vector<const CCard*>& holders = byPassword[password];
        if (holders.size() < 2)
            continue;
        ++group;
        for (const CCard* card : holders) {
            reused.push_back({.card = card,
                              .problem = HealthProblem::Reused,
                              .group = group,
                              .groupSize = static_cast<int>(holders.size())});
        }
    }

    std::vector<HealthFinding> all;
    for (auto* part : {&weak, &reused, &old, &expired, &sameName, &sameUser})
        all.insert(all.end(), part->begin(), part->end());
    return all;
}

std::string DescribeFinding(const HealthFinding& f) {
    switch (f.problem) {
        case HealthProblem::Weak:
            return "Weak password (" +
                   StrengthText(PasswordStrength{f.bits, StrengthWordOfBits(f.bits)}) + ")";
        case HealthProblem::Reused:
            return "Reused password (group " + std::to_string(f.group) + ": " +
                   Plural(f.groupSize, "card", "cards") + ")";
        case HealthProblem::Old:
            return "Password not changed for " + Plural(f.days, "day", "days");
        case HealthProblem::Expired:
            return f.days == 0 ? std::string("Expired today")
                               : "Expired " + Plural(f.days, "day", "days") + " ago";
        case HealthProblem::SameAsName:
            return "Password is the card's name";
        case HealthProblem::SameAsUserId:
            return "Password is the user ID";
        case HealthProblem::Breached:
            return "Password found in the breach list (" +
                   Plural(static_cast<std::int64_t>(f.count), "time", "times") + ")";
    }
    return {};
}

}  // namespace tessaline
