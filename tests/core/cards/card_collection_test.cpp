#include <gtest/gtest.h>

#include "core/cards/card_collection.h"
#include "core/cards/text_folding.h"

namespace tessaline {
namespace {

CCard* AddCard(CCardCollection& cards, int code, const std::string& name,
               const std::string& note = "") {
    CCard card;
    card.SetCategory(static_cast<std::uint8_t>(code));
    card.SetName(name);
    card.SetNote(note);
    CCard* c = cards.Adopt(std::move(card));
    cards.AddCardToCategory(code, c);
    return c;
}

std::vector<std::string> Names(const CCategoryList& list) {
    std::vector<std::string> out;
    for (const CCard* c : list)
        out.push_back(c->Name());
    return out;
}

TEST(CategoryList, RemoveAtIgnoresBadPositions) {
    CCategoryList list;
    EXPECT_EQ(list.RemoveAt(0), 0);
    CCard a, b, c;
    list.AddCard(&a);
    list.AddCard(&b);
    EXPECT_EQ(list.AddCard(&c), 3);
    EXPECT_EQ(list.RemoveAt(-1), 3);
    EXPECT_EQ(list.RemoveAt(3), 3);
    EXPECT_EQ(list.RemoveAt(0), 2);
    EXPECT_EQ(list.CardAt(0), &b);
    EXPECT_EQ(list.CardAt(1), &c);
}

TEST(CardCollection, ListsStartWithTheirLabelsAndNames) {
    CCardCollection cards;
    EXPECT_EQ(cards.List(kBankAccounts).Labels()[3], "Account Number");
    EXPECT_EQ(cards.List(kBankAccounts).DisplayName(), "Bank Accounts");
    EXPECT_EQ(cards.DeletedList().Labels()[0], "Field_1");
}

TEST(CardCollection, AddToCategoryOnlyForCodes0To14) {
    CCardCollection cards;
    CCard* stray = cards.Adopt(CCard{});
    cards.AddCardToCategory(15, stray);
    cards.AddCardToCategory(kDeletedCategory, stray);
    cards.AddCardToCategory(-1, stray);
    EXPECT_EQ(cards.LiveCardCount(), 0);
    EXPECT_EQ(cards.DeletedList().Count(), 0);
    EXPECT_EQ(cards.TotalStoredSize(), 0u);
}

TEST(CardCollection, DeleteMovesTheCardToTheDeletedListFromItsOwnList) {
    CCardCollection cards;
    AddCard(cards, kNewsgroups, "a");
    CCard* b = AddCard(cards, kNewsgroups, "b");
    AddCard(cards, kNewsgroups, "c");
    // The list position may be stale (e.g. the user was looking at search results).
    b->SetListPosition(0);
    cards.DeleteCard(b);
    EXPECT_EQ(Names(cards.List(kNewsgroups)), (std::vector<std::string>{"a", "c"}));
    ASSERT_EQ(cards.DeletedList().Count(), 1);
    EXPECT_TRUE(b->Deleted());
    // Deleted cards still count for the stored size, though no list shows them.
    CCardCollection onlyDeleted;
    CCard* d = AddCard(onlyDeleted, kWwwSites, "gone");
    onlyDeleted.DeleteCard(d);
    EXPECT_EQ(onlyDeleted.LiveCardCount(), 0);
    EXPECT_EQ(onlyDeleted.TotalStoredSize(), 33u);
}

// A file whose only cards are in the recycle bin, or that only remembers cards deleted for
// good, is not empty: Save must stay possible.
TEST(CardCollection, CardsInTheRecycleBinAndTombstonesCountAsHeld) {
    CCardCollection empty;
    EXPECT_FALSE(empty.HoldsCards());

    CCardCollection recycled;
    CCard* card = recycled.Adopt(CCard{});
    card->SetRecycledMs(1);
    recycled.RecycleBin().AddCard(card);
    EXPECT_EQ(recycled.TotalStoredSize(), 0u);
    EXPECT_TRUE(recycled.HoldsCards());

    CCardCollection remembered;
    remembered.Tombstones().push_back(Tombstone{CardIdentity{1}, 5});
    EXPECT_TRUE(remembered.HoldsCards());

    CCardCollection listed;
    AddCard(listed, kNewsgroups, "a");
    EXPECT_TRUE(listed.HoldsCards());
}

TEST(CardCollection, ChangeCategoryAppendsToTheNewList) {
    CCardCollection cards;
    CCard* a = AddCard(cards, kWwwSites, "a");
    AddCard(cards, kMiscellaneous, "m");
    cards.ChangeCategory(a, kMiscellaneous);
    EXPECT_EQ(cards.List(kWwwSites).Count(), 0);
    EXPECT_EQ(Names(cards.List(kMiscellaneous)), (std::vector<std::string>{"m", "a"}));
    EXPECT_EQ(a->Category(), kMiscellaneous);
}

TEST(CardCollection, GatherFollowsItsOrderAndDoublesWithoutEmptying) {
    CCardCollection cards;
    AddCard(cards, kLoginAccounts, "login");
    AddCard(cards, kEmailAccounts, "mail");
    AddCard(cards, kWwwSites, "www");
    CCard* d = AddCard(cards, kWwwForms, "deleted");
    cards.DeleteCard(d);
    EXPECT_EQ(cards.GatherAllCards(), 3);
    std::vector<std::string> names;
    for (const CCard* c : cards.AllCards())
        names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"www", "mail", "login"}));
    EXPECT_EQ(cards.GatherAllCards(), 6);
}

TEST(CardCollection, SearchMatchesAnyTextIgnoringCase) {
    CCardCollection cards;
    CCard* byNote = AddCard(cards, kWwwSites, "one", "My SeCrEt note");
    CCard* byPassword = AddCard(cards, kBankAccounts, "two");
    byPassword->SetPassword("xxsecretxx");
    CCard* byUmlaut = AddCard(cards, kMiscellaneous, "\xC4rger");  // "Ärger" in Windows-1252
    AddCard(cards, kMiscellaneous, "no match");
    CCard* deleted = AddCard(cards, kWwwSites, "secret but deleted");
    cards.DeleteCard(deleted);
    CCard* dated = AddCard(cards, kWwwSites, "dated");
    dated->SetDateText("secret");
    dated->SetCategoryNameText("secret");

    // Passwords only when asked for: a search typed where others can see it must not
    // tell what a password holds.
    cards.GatherAndSearch("secret");
    ASSERT_EQ(cards.SearchResults().Count(), 1);
    EXPECT_EQ(cards.SearchResults().CardAt(0), byNote);
    EXPECT_FALSE(CardMatchesSearch(*byPassword, FoldedStoredText("secret")));
    EXPECT_TRUE(CardMatchesSearch(*byPassword, FoldedStoredText("secret"), true));
    cards.GatherAndSearch("secret", true);
    const CCategoryList& found = cards.SearchResults();
    ASSERT_EQ(found.Count(), 2);
    EXPECT_EQ(found.CardAt(0), byNote);
    EXPECT_EQ(found.CardAt(1), byPassword);

    cards.GatherAndSearch("\xE4rg");  // "ärg"
    ASSERT_EQ(cards.SearchResults().Count(), 1);
    EXPECT_EQ(cards.SearchResults().CardAt(0), byUmlaut);

    cards.GatherAndSearch("nothing like it");
    EXPECT_EQ(cards.SearchResults().Count(), 0);
}

TEST(CardCollection, SearchComparesWholeLongTexts) {
    CCardCollection cards;
    CCard* c = AddCard(cards, kWwwSites, std::string(300, 'a') + "needle");
    c->SetNote(std::string(5000, 'b') + "haystack-end");
    cards.GatherAndSearch("NEEDLE");
    EXPECT_EQ(cards.SearchResults().Count(), 1);
    cards.GatherAndSearch("haystack-END");
    EXPECT_EQ(cards.SearchResults().Count(), 1);
}

// Tags and the values of unprotected custom fields are searched like the other texts; a
// protected value, a field's name, the one-time-password secret and earlier versions are not.
TEST(CardCollection, SearchCoversTagsAndUnprotectedCustomValues) {
    CCardCollection cards;
    CCard* tagged = AddCard(cards, kWwwSites, "one");
    tagged->SetTags({"work", "Quarterly-Report"});
    CCard* custom = AddCard(cards, kBankAccounts, "two");
    custom->SetCustomFields({{"Branch", "Harbour Street", false}});
    CCard* hidden = AddCard(cards, kBankAccounts, "three");
    hidden->SetCustomFields({{"Recovery code", "harbour-7731", true}});
    CCard* named = AddCard(cards, kMiscellaneous, "four");
    named->SetCustomFields({{"report harbour", "x", false}});
    CCard* otp = AddCard(cards, kMiscellaneous, "five");
    otp->SetOtpUri("otpauth://totp/harbour?secret=REPORT");
    CCard* older = AddCard(cards, kMiscellaneous, "six");
    CCard earlier;
    earlier.SetName("harbour report");
    earlier.SetTags({"report"});
    older->SetHistory({earlier});

    const struct {
        const char* text;
        std::vector<const CCard*> found;
    } cases[] = {
        {"report", {tagged}}, {"WORK", {tagged}}, {"harbour", {custom}},
        {"7731", {}},         {"recovery", {}},   {"secret=", {}},
    };
    for (const auto& c : cases) {
        cards.GatherAndSearch(c.text);
        std::vector<const CCard*> found;
        for (const CCard* card : cards.SearchResults())
            found.push_back(card);
        EXPECT_EQ(found, c.found) << c.text;
    }
}

}  // namespace
}  // namespace tessaline
