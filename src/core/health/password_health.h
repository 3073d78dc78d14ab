#pragma once
// What is wrong with the passwords of a document: weak ones, one password on several cards,
// passwords not changed for over a year, cards past their expiry date, and passwords that
// are the card's name or user ID. Each finding names its card; the window and the
// command-line program list them as rows of card, category and problem.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/cards/card.h"
#include "core/cards/card_collection.h"

namespace tessaline {

enum class HealthProblem {
    Weak,          // the estimate is below "good"
    Reused,        // the same password is on other cards too
    Old,           // not changed for more than a year
    Expired,       // the card's expiry date has passed
    SameAsName,    // the password is the card's name (letter case ignored)
    SameAsUserId,  // the password is the user ID (letter case ignored)
    Breached,      // the password is in a list of breached passwords
};

inline constexpr std::int64_t kMsPerDay = 86'400'000;
// A password older than this many days is reported.
inline constexpr std::int64_t kOldPasswordDays = 365;

struct HealthFinding {
    const CCard* card = nullptr;
    HealthProblem problem = HealthProblem::Weak;
    double bits = 0;          // Weak: the estimate
    int group = 0;            // Reused: the cards of one password share a number from 1
    int groupSize = 0;        // Reused: how many cards have that password
    std::int64_t days = 0;    // Old: days since the change; Expired: days since the expiry
    std::uint64_t count = 0;  // Breached: how often the list saw it
};

// When the card's password was last changed, in milliseconds since 1970 UTC: the card's
// modification time in milliseconds when it has one, else its 32-bit time stamp (seconds
// since 1904, local time). Nothing when the card carries no time at all.
std::optional<std::int64_t> CardChangedMs(const CCard& card);

// Every finding for the cards, in this order: weak, reused (by group), old, expired, same
// as name, same as user ID; within a kind by the cards' order given. Cards without a
// password have only expiry findings.
std::vector<HealthFinding> CheckPasswordHealth(std::span<const CCard* const> cards,
                                               std::int64_t nowMs);

// The cards a health check looks at: every card of the fifteen category lists, in the
// order the export writes them (not the deleted ones, nor the recycle bin).
std::vector<const CCard*> CardsToCheck(const CCardCollection& cards);

// The problem of a finding as the rows show it ("Weak password (31 bits, poor)").
std::string DescribeFinding(const HealthFinding& finding);

}  // namespace tessaline
