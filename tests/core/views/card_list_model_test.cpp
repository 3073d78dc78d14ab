// What a card list shows: rows of a category text, counts, cells and column sorting.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/prefs/frame_keys.h"
#include "core/views/card_list_model.h"

namespace tessaline {
namespace {

CCard* AddCard(CCardCollection& cards, int code, std::string name, std::string user = "",
               std::string password = "", std::string note = "", std::uint32_t time = 0) {
    CCard c;
    c.SetName(std::move(name));
    c.SetUserId(std::move(user));
    c.SetPassword(std::move(password));
    c.SetNote(std::move(note));
    c.SetCategory(static_cast<std::uint8_t>(code));
    c.SetModificationTime(time);
    CCard* card = cards.Adopt(std::move(c));
    cards.AddCardToCategory(code, card);
    return card;
}

std::vector<std::string> Names(const std::vector<CCard*>& rows) {
    std::vector<std::string> out;
    for (const CCard* c : rows)
        out.push_back(c->Name());
    return out;
}

class SortFlag : public ::testing::Test {
protected:
    void SetUp() override { SetSortDescending(true); }
    void TearDown() override { SetSortDescending(true); }
};

TEST(ListModel, CategoryListsByNameIgnoringCaseAndSetsListPositions) {
    CCardCollection cards;
    AddCard(cards, kWwwSites, "delta");
    AddCard(cards, kWwwSites, "Bravo");
    AddCard(cards, kWwwSites, "alpha");
    AddCard(cards, kWwwSites, "charlie");
    AddCard(cards, kFtpServers, "aardvark");
    const std::vector<CCard*> rows = ListCategoryText(cards, "WWW Sites");
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"alpha", "Bravo", "charlie", "delta"}));
    // Positions are the places in the category's own list, not the row numbers.
    EXPECT_EQ(rows[0]->ListPosition(), 2);
    EXPECT_EQ(rows[1]->ListPosition(), 1);
    EXPECT_EQ(rows[3]->ListPosition(), 0);
}

TEST(ListModel, WhatEachTextListsAndCounts) {
    CCardCollection cards;
    AddCard(cards, kWwwSites, "w");
    AddCard(cards, kMiscellaneous, "m");
    AddCard(cards, kBankAccounts, "b");
    CCard* deleted = AddCard(cards, kBankAccounts, "gone");
    cards.DeleteCard(deleted);
    cards.GatherAndSearch("m");

    struct Case {
        std::string text;
        std::vector<std::string> names;
        std::optional<int> count;
    };
    const std::vector<Case> cases{
        {"Show All", {"b", "m", "w"}, 3},    {"Bank Accounts", {"b"}, 1},
        {"Search Results", {"m"}, 1},        {"Login Accounts", {}, 0},
        {"No Such Thing", {}, std::nullopt}, {"show all", {}, std::nullopt},  // names are exact
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(ListCategoryText(cards, c.text)), c.names) << c.text;
        EXPECT_EQ(CountOfCategoryText(cards, c.text), c.count) << c.text;
    }
}

TEST(ListModel, SearchResultPositionsAreTheirPlacesInTheResult) {
    CCardCollection cards;
    AddCard(cards, kWwwSites, "zz match");
    AddCard(cards, kWwwSites, "aa match");
    cards.GatherAndSearch("match");
    const std::vector<CCard*> rows = ListCategoryText(cards, "Search Results");
    ASSERT_EQ(Names(rows), (std::vector<std::string>{"aa match", "zz match"}));
    EXPECT_EQ(rows[0]->ListPosition(), 1);
    EXPECT_EQ(rows[1]->ListPosition(), 0);
}

TEST(ListModel, CategoryColumnOnlyForShowAllAndSearchResults) {
    EXPECT_TRUE(ShowsCategoryColumn("Show All"));
    EXPECT_TRUE(ShowsCategoryColumn("Search Results"));
    EXPECT_FALSE(ShowsCategoryColumn("WWW Sites"));
    EXPECT_FALSE(ShowsCategoryColumn(""));
}

TEST(ListModel, ChosenCategoryText) {
    struct Case {
        std::optional<std::string> hint;
        std::optional<std::string> remembered;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"Credit Cards", "Bank Accounts", "Credit Cards"},
        {std::nullopt, "Bank Accounts", "Bank Accounts"},
        {std::nullopt, "", "WWW Sites"},
        {std::nullopt, "Search Results", "WWW Sites"},
        {std::nullopt, std::nullopt, "WWW Sites"},
        {"Search Results", std::nullopt, "Search Results"},
    };
    for (const Case& c : cases) {
        MemoryProfile profile;
        if (c.remembered)
            profile.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg, *c.remembered);
        EXPECT_EQ(ChooseCategoryText(c.hint, profile), c.expected);
    }
}

TEST(ListModel, NoteCells) {
    const std::string n25(25, 'x');
    struct Case {
        std::string note, shown;
    };
    const std::vector<Case> cases{
        {"", ""},
        {n25, n25},
        {n25 + "y", n25 + "..."},
        {"line1\r\nline2\nx", "line1  line2 x"},
        {std::string(24, 'a') + "\r\nbbbb", std::string(24, 'a') + " ..."},
        // UTF-8 notes count characters and never split one.
        {std::string(24, 'a') + "\xC3\xA9\xC3\xA9", std::string(24, 'a') + "\xC3\xA9..."},
        {std::string(23, 'a') + "\xC3\xA9\xC3\xA9", std::string(23, 'a') + "\xC3\xA9\xC3\xA9"},
        // Windows-1252 notes count bytes.
        {std::string(25, '\xE9') + "z", std::string(25, '\xE9') + "..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenNote(c.note), c.shown) << c.note;
}

TEST(ListModel, CellTextsFollowTheSettingsAtEveryCall) {
    CCardCollection cards;
    CCard* card = AddCard(cards, kCreditCards, "Visa", "me", "x", "short", 0);
    card->SetAddress("https://example.org");
    MemoryProfile profile;
    EXPECT_EQ(CellText(*card, kColumnName, profile), "Visa");
    EXPECT_EQ(CellText(*card, kColumnUserId, profile), "me");
    EXPECT_EQ(CellText(*card, kColumnPassword, profile), "****");
    EXPECT_EQ(CellText(*card, kColumnNote, profile), "short");
    EXPECT_EQ(CellText(*card, kColumnAddress, profile), "https://example.org");
    EXPECT_EQ(CellText(*card, kColumnCategory, profile), "Credit Cards");
    EXPECT_EQ(CellText(*card, 7, profile), "");
    profile.WriteInt(prefs::kInternetSection, prefs::kShowPasswordAlways, 1);
    EXPECT_EQ(CellText(*card, kColumnPassword, profile), "x");

    card->SetModificationTime(CardTimeOfDate(2024, 3, 9));
    for (int format : {0, 3, 7}) {
        profile.WriteInt(prefs::kInternetSection, prefs::kDateFormat, format);
        EXPECT_EQ(CellText(*card, kColumnModified, profile),
                  FormatCardDate(card->ModificationTime(), format));
    }
    EXPECT_NE(FormatCardDate(card->ModificationTime(), 0),
              FormatCardDate(card->ModificationTime(), 3));
}

TEST(ListModel, PasswordMask) {
    EXPECT_EQ(MaskPassword("", false), "");
    EXPECT_EQ(MaskPassword("a", false), "****");
    EXPECT_EQ(MaskPassword(std::string(40, 'p'), false), "****");
    EXPECT_EQ(MaskPassword("secret", true), "secret");
    EXPECT_EQ(MaskPassword("", true), "");
}

TEST(ListModel, CompareNoCase) {
    EXPECT_EQ(CompareNoCase("abc", "ABC"), 0);
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
    EXPECT_EQ(CompareNoCase("\xC9t\xE9", "\xE9T\xC9"), 0);  // Windows-1252 É/é
    EXPECT_LT(CompareNoCase("_", "a"), 0);                  // letters fold to lower case
}

TEST_F(SortFlag, ColumnComparisons) {
    CCard a, b;
    a.SetUserId("alpha");
    b.SetUserId("BETA");
    a.SetModificationTime(10);
    b.SetModificationTime(20);
    EXPECT_LT(CompareCardsForColumn(kColumnUserId, false, a, b), 0);
    EXPECT_GT(CompareCardsForColumn(kColumnUserId, true, a, b), 0);
    EXPECT_EQ(CompareCardsForColumn(kColumnModified, false, a, b), -1);
    EXPECT_EQ(CompareCardsForColumn(kColumnModified, false, b, a), 1);
    EXPECT_EQ(CompareCardsForColumn(kColumnModified, true, a, b), 1);
    EXPECT_EQ(CompareCardsForColumn(kColumnModified, true, b, a), -1);
    b.SetModificationTime(10);
    EXPECT_EQ(CompareCardsForColumn(kColumnModified, false, a, b), -1);
    EXPECT_EQ(CompareCardsForColumn(kColumnModified, true, a, b), -1);
    EXPECT_EQ(CompareCardsForColumn(kColumnAddress, false, a, b), 0);
    EXPECT_EQ(CompareCardsForColumn(kColumnCategory, true, a, b), 0);
}

TEST_F(SortFlag, FirstClickAscendsSecondDescendsWhicheverColumn) {
    CCardCollection cards;
    AddCard(cards, kWwwSites, "b", "u2", "", "", 300);
    AddCard(cards, kWwwSites, "a", "u3", "", "", 100);
    AddCard(cards, kWwwSites, "c", "u1", "", "", 200);
    std::vector<CCard*> rows = ListCategoryText(cards, "WWW Sites");
    SortRowsByColumn(rows, kColumnUserId);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_FALSE(SortDescending());
    SortRowsByColumn(rows, kColumnModified);  // a different column: now descending
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_TRUE(SortDescending());
    SortRowsByColumn(rows, kColumnModified);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "c", "b"}));
}

TEST_F(SortFlag, AddressAndCategoryClicksKeepTheOrderButFlipTheDirection) {
    CCardCollection cards;
    AddCard(cards, kWwwSites, "b")->SetAddress("a");
    AddCard(cards, kWwwSites, "a")->SetAddress("z");
    for (int column : {kColumnAddress, kColumnCategory}) {
        std::vector<CCard*> rows = ListCategoryText(cards, "WWW Sites");
        const bool before = SortDescending();
        SortRowsByColumn(rows, column);
        EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "b"}));
        EXPECT_NE(SortDescending(), before);
    }
}

TEST_F(SortFlag, TiesKeepTheirOrder) {
    CCardCollection cards;
    for (const char* n : {"a", "b", "c", "d"})
        AddCard(cards, kWwwSites, n, "same", "", "", 5);
    std::vector<CCard*> rows = ListCategoryText(cards, "WWW Sites");
    SortRowsByColumn(rows, kColumnUserId);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "b", "c", "d"}));
    SortRowsByColumn(rows, kColumnModified);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(ListModel, SelectorEntries) {
    const std::vector<std::string> expected{
        "WWW Sites",      "WWW Forms",     "FTP Servers",    "Newsgroups",         "Login Accounts",
        "Email Accounts", "Bank Accounts", "Online Banking", "Credit Cards",       "ATM/PIN Cards",
        "Personal Data",  "Software Keys", "Serial Numbers", "Membership Numbers", "Miscellaneous",
        "Recycle Bin",    "Show All"};
    EXPECT_EQ(CategorySelectorEntries(), expected);
}

}  // namespace
}  // namespace tessaline
