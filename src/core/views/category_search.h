#pragma once
// Rules of the category bar: finding a selector entry by its beginning, the column
// titles a category gives, and the search box's list of earlier search texts.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline {

// Whether text begins with prefix, letters compared without regard to case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// The first entry that begins with text (case-insensitive), searching from the entry
// after startAfter to the end and then from the first; startAfter -1 searches from the
// first. -1 when none does.
int FindEntryStartingWith(const std::vector<std::string>& entries, std::string_view text,
                          int startAfter);

// The titles of columns 0, 1, 2 and 5 for a category text: labels 1, 3, 4 and 2 of the
// category. Lists that mix categories ("Show All", "Search Results") and a text that
// names nothing take the neutral kMixedColumnTitles, so that no card number ever sits
// under "User ID".
std::array<std::string, 4> ColumnTitlesFor(std::string_view text);
inline constexpr std::array<const char*, 4> kMixedColumnTitles{"Name", "User ID", "Password",
                                                               "Address"};
// The columns those four titles belong to.
inline constexpr std::array<int, 4> kTitledColumns{0, 1, 2, 5};

inline constexpr const char* kEmptySearchMessage = "Search String can not be empty!";

// The search box's earlier texts, kept sorted without regard to case.
class SearchHistory {
public:
    // Adds text unless an entry already begins with it (case-insensitive). Returns the
    // index the text went to, or nothing when it was not added.
    std::optional<std::size_t> Add(const std::string& text);
    const std::vector<std::string>& Entries() const { return entries_; }
    // Wipes every text (one may be a secret the user typed) and empties the list.
    void Clear();

private:
    std::vector<std::string> entries_;
};

}  // namespace tessaline
