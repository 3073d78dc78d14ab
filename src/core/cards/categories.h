#pragma once
// The fifteen categories: codes, display names and the four field labels of each.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaline {

enum CategoryCode : int {
    kWwwSites = 0,
    kWwwForms = 1,
    kFtpServers = 2,
    kNewsgroups = 3,
    kOnlineBanking = 4,
    kLoginAccounts = 5,
    kEmailAccounts = 6,
    kBankAccounts = 7,
    kCreditCards = 8,
    kAtmPinCards = 9,
    kPersonalData = 10,
    kSoftwareKeys = 11,
    kSerialNumbers = 12,
    kMembershipNumbers = 13,
    kMiscellaneous = 14,
    kDeletedCategory = 100,
};

inline constexpr int kCategoryCount = 15;

// Selector entries that are not categories.
inline constexpr std::string_view kShowAll = "Show All";
inline constexpr std::string_view kSearchResults = "Search Results";
// The selector's entry that lists the cards in the recycle bin.
inline constexpr std::string_view kRecycleBin = "Recycle Bin";
// Names only old files use.
inline constexpr std::string_view kOldWwwPagesName = "WWW Pages";
inline constexpr std::string_view kOldPasswordManagerName = "Password Manager";

struct CategoryInfo {
    std::string_view displayName;
    std::array<std::string_view, 4> labels;
};

// Display name and labels of a code 0..14; the deleted-card list (100) has no display
// name and the labels "Field_1".."Field_4". Any other code gives nullptr.
const CategoryInfo* FindCategory(int code);

// The display name of a category. Any code outside 0..14 names "WWW Sites".
std::string CategoryDisplayName(int code);

// The code of one of the fifteen display names (exact, case-sensitive), else -1.
int CategoryCodeOfName(std::string_view name);

using CategoryLabels = std::array<std::string, 4>;

// Copies the four labels of a code 0..14 and returns the label width (the longest
// label's length, at least 1). Any other code returns 0 and leaves labels unchanged.
int LabelsByCode(int code, CategoryLabels& labels);
// The same for one of the fifteen display names.
int LabelsByName(std::string_view name, CategoryLabels& labels);

// The order in which the all-cards gathering (and so search) walks the categories.
extern const std::array<int, kCategoryCount> kGatherOrder;
// The order in which the text export walks the categories.
extern const std::array<int, kCategoryCount> kExportOrder;

}  // namespace tessaline
