// The category bar's rules: entry search, column titles, the search box's history.

#include <gtest/gtest.h>

#include "core/views/card_list_model.h"
#include "core/views/category_search.h"

namespace tessaline {
namespace {

TEST(CategorySearch, FindEntryStartingWith) {
    const std::vector<std::string> entries = CategorySelectorEntries();
    struct Case {
        std::string text;
        int startAfter;
        int expected;
    };
    const std::vector<Case> cases{
        {"WWW Sites", -1, 0},
        {"WWW", -1, 0},
        {"WWW", 0, 1},  // from entry 1 onwards first
        {"www f", -1, 1},
        {"Show All", 0, 16},
        {"Search Results", 0, -1},
        {"Recycle", 0, 15},
        {"Bank", 0, 6},
        {"", -1, 0},
        {"Miscellaneous!", -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindEntryStartingWith(entries, c.text, c.startAfter), c.expected) << c.text;
    EXPECT_EQ(FindEntryStartingWith({}, "x", -1), -1);
}

TEST(CategorySearch, ColumnTitles) {
    using Titles = std::array<std::string, 4>;
    // Lists that mix categories have neutral titles, "Address" in place of "URL".
    const Titles mixed{"Name", "User ID", "Password", "Address"};
    for (const char* text : {"Show All", "Search Results", "Nothing"})
        EXPECT_EQ(ColumnTitlesFor(text), mixed) << text;
    EXPECT_EQ(ColumnTitlesFor("WWW Sites"), (Titles{"Name", "User ID", "Password", "URL"}));
    // Labels 1, 3, 4, 2 of the category go to columns 0, 1, 2, 5.
    for (int code = 0; code < kCategoryCount; ++code) {
        CategoryLabels labels;
        ASSERT_GT(LabelsByCode(code, labels), 0);
        EXPECT_EQ(ColumnTitlesFor(CategoryDisplayName(code)),
                  (Titles{labels[0], labels[2], labels[3], labels[1]}))
            << code;
    }
}

TEST(CategorySearch, HistoryKeepsSortedTextsWithoutPrefixesOfEntries) {
    SearchHistory h;
    EXPECT_EQ(h.Add("abc"), 0u);
    EXPECT_FALSE(h.Add("ab"));     // "abc" already begins with it
    EXPECT_FALSE(h.Add("ABC"));    // case does not count
    EXPECT_EQ(h.Add("abcd"), 1u);  // no entry begins with "abcd"
    EXPECT_EQ(h.Add("Zeta"), 2u);
    EXPECT_EQ(h.Add("beta"), 2u);
    EXPECT_EQ(h.Add("Alpha"), 2u);  // sorted without regard to case
    EXPECT_EQ(h.Entries(), (std::vector<std::string>{"abc", "abcd", "Alpha", "beta", "Zeta"}));
}

}  // namespace
}  // namespace tessaline
