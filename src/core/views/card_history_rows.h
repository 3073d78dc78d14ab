#pragma once
// What the card editor's History page lists: the card as it is now and each earlier
// version, newest first, with its time, name, user ID, masked password and the fields it
// changed from the version before it.

#include <cstdint>
#include <string>
#include <vector>

namespace tessaline {

class CCard;

struct HistoryRow {
    // The index of the version in the card's history (oldest 0), or -1 for the card as it
    // is now.
    int version = -1;
    std::string time;  // when the version was made, local time
    std::string name;
    std::string userId;
    std::string password;  // masked: "****", or empty for no password
    std::string changed;   // "Password, Note"; empty for the oldest version
};

// The rows of a card: now first, then its history from newest to oldest.
std::vector<HistoryRow> HistoryRows(const CCard& card);

// The names of the fields in which two versions of a card differ, in the editor's order,
// separated by ", ".
std::string ChangedFieldNames(const CCard& before, const CCard& after);

// A time in milliseconds since 1970 as local "YYYY-MM-DD HH:MM:SS"; empty for 0 (unknown).
std::string LocalTimeText(std::int64_t ms);

}  // namespace tessaline
