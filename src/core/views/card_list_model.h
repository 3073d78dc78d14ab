#pragma once
// What a card list shows: which cards a category text lists and in what order, how
// many it counts, the text of each cell and how a column click orders the rows.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/categories.h"

namespace tessaline {

class CCard;
class CCardCollection;
class IProfile;

enum CardColumn : int {
    kColumnName = 0,
    kColumnUserId = 1,
    kColumnPassword = 2,
    kColumnNote = 3,
    kColumnModified = 4,
    kColumnAddress = 5,
    kColumnCategory = 6,
};
inline constexpr int kBaseColumnCount = 6;  // every list
inline constexpr int kFullColumnCount = 7;  // "Show All" and "Search Results" add "Category"
inline constexpr std::array<const char*, kFullColumnCount> kInitialColumnTitles{
    "Name", "User ID", "Password", "Note", "Last Modified", "URL", "Category"};
inline constexpr std::array<int, kFullColumnCount> kColumnWidths{120, 100, 100, 150, 100, 150, 150};

// The categories in the order of the category selector, which is also the order in
// which "Show All" lists them.
extern const std::array<int, kCategoryCount> kSelectorOrder;
// The selector's entries: the fifteen display names, "Recycle Bin", then "Show All".
std::vector<std::string> CategorySelectorEntries();

// The rows of a category text, ordered by name (case-insensitive, ties in list order).
// Each listed card's list position becomes its index within its own list. A text that
// names nothing lists nothing.
std::vector<CCard*> ListCategoryText(const CCardCollection& cards, std::string_view text);
// The count the status bar shows for a text; nothing for a text that names nothing.
std::optional<int> CountOfCategoryText(const CCardCollection& cards, std::string_view text);
// Whether the list of this text has the "Category" column.
bool ShowsCategoryColumn(std::string_view text);
// The text a view shows: the hint when there is one; else the remembered
// "LastSelectedCatg" unless empty or "Search Results"; else "WWW Sites".
std::string ChooseCategoryText(const std::optional<std::string>& hint, const IProfile& profile);

// A note as its cell shows it: up to 25 characters, then "..." when longer; every
// carriage return and line feed becomes a space. UTF-8 notes count characters.
std::string ShortenNote(const std::string& note);
// The password cell: the password when showAlways, else "****" or nothing.
std::string MaskPassword(const std::string& password, bool showAlways);
// A cell's text, reading "ShowPasswordAlways" and "Date Format" at every call.
std::string CellText(const CCard& card, int column, const IProfile& profile);
// A cell of the recycle bin's list: the date column shows when the card went there.
std::string RecycledCellText(const CCard& card, int column, const IProfile& profile);
// The columns the recycle bin's list shows: the name, when the card went there and its
// category.
inline constexpr std::array<int, 3> kRecycleBinColumns{kColumnName, kColumnModified,
                                                       kColumnCategory};
inline constexpr const char* kDeletedColumnTitle = "Deleted";

// Byte texts compared without regard to case (ASCII and Windows-1252 letters), <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);

// The sort direction shared by every list of the process: true = descending. It starts
// true and flips before every column sort, so the first click sorts ascending.
bool SortDescending();
void SetSortDescending(bool descending);

// The comparison of a column for rows a (first) and b (second): names, user IDs,
// passwords and notes case-insensitively; dates as numbers, where equal dates give -1 in
// both directions; the address and category columns compare every pair equal.
int CompareCardsForColumn(int column, bool descending, const CCard& a, const CCard& b);
// A column click: flips the shared direction and orders the rows by that column. Rows
// the comparison does not tell apart keep their order.
// recycled: the rows are the recycle bin's, whose date column is when each card went there.
void SortRowsByColumn(std::vector<CCard*>& rows, int column, bool recycled = false);
// Orders the rows by a column in a direction, as a column click does, without touching
// the shared direction: a list keeps its chosen order when it lists again.
void SortRows(std::vector<CCard*>& rows, int column, bool descending, bool recycled = false);
// Whether a column click orders the rows at all (the address and category columns
// compare every pair equal and leave the order as it was).
inline bool ColumnSorts(int column) {
    return column >= kColumnName && column <= kColumnModified;
}

}  // namespace tessaline
