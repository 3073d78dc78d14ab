#include <gtest/gtest.h>

#include <algorithm>

#include "core/cards/card_collection.h"
#include "core/views/print_layout.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;

// A page of 1000 x 1000 units with lines of 20: 50 lines, 42 for cards.
constexpr PrintDevice kDevice{1000, 1000, 20, 8};

const PlacedText* Find(const std::vector<PlacedText>& page, const std::string& text) {
    auto it =
        std::find_if(page.begin(), page.end(), [&](const PlacedText& t) { return t.text == text; });
    return it == page.end() ? nullptr : &*it;
}

TEST(CardsPrintLayout, CardsPerPageAndPageCount) {
    EXPECT_EQ(LinesPerCard(true), 10);
    EXPECT_EQ(LinesPerCard(false), 7);
    // 42 lines: 4 whole cards with notes, 6 without.
    EXPECT_EQ(CardsPerPage(kDevice, true), 4);
    EXPECT_EQ(CardsPerPage(kDevice, false), 6);
    // A tiny page still takes one card.
    EXPECT_EQ(CardsPerPage(PrintDevice{100, 100, 20, 8}, true), 1);
    EXPECT_EQ(PrintPageCount(0, 4), 0);
    EXPECT_EQ(PrintPageCount(1, 4), 1);
    EXPECT_EQ(PrintPageCount(4, 4), 1);
    EXPECT_EQ(PrintPageCount(5, 4), 2);
}

TEST(CardsPrintLayout, EveryRowOfACardFitsAboveTheFooter) {
    for (int lines = 12; lines < 90; ++lines) {
        for (bool notes : {true, false}) {
            PrintDevice d{2000, lines * 20, 20, 8};
            const int per = CardsPerPage(d, notes);
            const int lastRow = 3 + (per - 1) * LinesPerCard(notes) + (notes ? 6 : 4);
            if (lines >= 8 + LinesPerCard(notes)) {
                EXPECT_LE((lastRow + 1) * 20, d.height - 100) << lines << " " << notes;
            }
        }
    }
}

TEST(CardsPrintLayout, NoteBreaksNearCharacter70) {
    const std::string n69(69, 'a');
    EXPECT_EQ(SplitNoteForPrint(n69), std::make_pair(n69, std::string()));
    std::string n100(100, 'b');
    n100[60] = ' ';
    auto [first, second] = SplitNoteForPrint(n100);
    EXPECT_EQ(first, std::string(60, 'b'));
    EXPECT_EQ(second, std::string(39, 'b'));
    // No space: broken at 70.
    auto [f2, s2] = SplitNoteForPrint(std::string(75, 'c'));
    EXPECT_EQ(f2.size(), 70u);
    EXPECT_EQ(s2.size(), 5u);
    // A space at 70 itself: the break stays there and the spaces are dropped.
    std::string n80 = std::string(70, 'd') + "   tail";
    EXPECT_EQ(SplitNoteForPrint(n80), std::make_pair(std::string(70, 'd'), std::string("tail")));
    // Exactly 70 characters: all on the first line.
    EXPECT_EQ(SplitNoteForPrint(std::string(70, 'e')).second, "");
}

TEST(CardsPrintLayout, PageOneRowsAndColumns) {
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kCreditCards,
                              .name = "Visa",
                              .address = "12/29",
                              .user = "4111",
                              .password = "1234",
                              .note = "call bank"});
    auto source = PrintSource(cards, "Credit Cards", true);
    auto page = LayoutPrintPage(1, kDevice, PrintOptions{true, true},
                                PageTexts{"mine.tse", "3/7/26"}, source);
    EXPECT_EQ(page[0], (PlacedText{0, 0, "mine.tse"}));
    EXPECT_EQ(page[1], (PlacedText{0, 0, "Tessaline"}));  // right - 1000, kept on the page
    EXPECT_EQ(page[2], (PlacedText{500, 900, "1"}));
    EXPECT_EQ(page[3], (PlacedText{0, 900, "3/7/26"}));
    // "Name/Type" is the longest Credit Cards label: 9 characters.
    const int value = 100 + 8 * 10;
    const std::vector<PlacedText> expected = {
        {0, 2 * 20, "Credit Cards"},  {100, 3 * 20, "Number"}, {72, 3 * 20, "1"},
        {100, 4 * 20, "Name/Type"},   {value, 4 * 20, "Visa"}, {100, 5 * 20, "Exp. Date"},
        {value, 5 * 20, "12/29"},     {100, 6 * 20, "Number"}, {value, 6 * 20, "4111"},
        {100, 7 * 20, "PIN Code"},    {value, 7 * 20, "1234"}, {100, 8 * 20, "Notes"},
        {value, 8 * 20, "call bank"}, {value, 9 * 20, ""},
    };
    EXPECT_EQ(std::vector<PlacedText>(page.begin() + 4, page.end()), expected);

    auto plain = LayoutPrintPage(1, kDevice, PrintOptions{false, true}, PageTexts{}, source);
    EXPECT_EQ(Find(plain, "Notes"), nullptr);
    EXPECT_EQ(Find(plain, "call bank"), nullptr);
    EXPECT_EQ(plain.size(), 4u + 11u);
}

TEST(CardsPrintLayout, NumbersRunOnAcrossPagesAndShowAllSkipsAtm) {
    CCardCollection cards;
    for (int i = 0; i < 5; ++i)
        AddCard(cards, CardFields{.code = kWwwSites, .name = "w" + std::to_string(i)});
    AddCard(cards, CardFields{.code = kAtmPinCards, .name = "atm"});
    AddCard(cards, CardFields{.code = kOnlineBanking, .name = "bank"});
    AddCard(cards, CardFields{.code = kLoginAccounts, .name = "login"});

    auto all = PrintSource(cards, "Show All", true);
    ASSERT_EQ(all.size(), 8u);
    // Print order: Online Banking before Login Accounts.
    EXPECT_EQ(all[5]->Name(), "bank");
    EXPECT_EQ(all[6]->Name(), "login");
    EXPECT_EQ(all[7]->Name(), "atm");
    auto noAtm = PrintSource(cards, "Show All", false);
    EXPECT_EQ(noAtm.size(), 7u);
    // The page count still follows every card of the list.
    EXPECT_EQ(PrintCardCount(cards, "Show All"), 8);
    // A single category is printed whole even when it is ATM/PIN Cards.
    EXPECT_EQ(PrintSource(cards, "ATM/PIN Cards", false).size(), 1u);

    auto page2 = LayoutPrintPage(2, kDevice, PrintOptions{true, true}, PageTexts{}, all);
    const PlacedText* five = Find(page2, "5");
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->y, 3 * 20);
    EXPECT_NE(Find(page2, "w4"), nullptr);
    EXPECT_EQ(Find(page2, "w3"), nullptr);
    EXPECT_NE(Find(page2, "atm"), nullptr);
    auto page3 = LayoutPrintPage(3, kDevice, PrintOptions{true, true}, PageTexts{}, all);
    EXPECT_EQ(page3.size(), 4u);  // header and footer only
}

TEST(CardsPrintLayout, SearchResultsPrintTheResults) {
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kWwwSites, .name = "alpha"});
    AddCard(cards, CardFields{.code = kEmailAccounts, .name = "alphabet"});
    AddCard(cards, CardFields{.code = kEmailAccounts, .name = "other"});
    cards.GatherAndSearch("ALPHA");
    auto source = PrintSource(cards, "Search Results", true);
    ASSERT_EQ(source.size(), 2u);
    EXPECT_EQ(PrintCardCount(cards, "Search Results"), 2);
    auto page = LayoutPrintPage(1, kDevice, PrintOptions{true, true}, PageTexts{}, source);
    EXPECT_NE(Find(page, "alphabet"), nullptr);
    EXPECT_NE(Find(page, "Email Accounts"), nullptr);
    EXPECT_TRUE(PrintSource(cards, "no such text", true).empty());
}

}  // namespace
}  // namespace tessaline

#include "core/views/print_command_line.h"

namespace tessaline {
namespace {

TEST(CardsPrintSwitches, PrintAndPrintTo) {
    auto none = ParsePrintSwitches({"tessaline", "--no-splash"});
    EXPECT_FALSE(none.request.has_value());
    EXPECT_TRUE(none.error.empty());

    auto print = ParsePrintSwitches({"tessaline", "--print", "/d/a.tse"});
    ASSERT_TRUE(print.request.has_value());
    EXPECT_EQ(print.request->file, "/d/a.tse");
    EXPECT_EQ(print.request->printer, "");

    auto to = ParsePrintSwitches({"tessaline", "--no-splash", "--print-to", "a.tsf", "out.pdf"});
    ASSERT_TRUE(to.request.has_value());
    EXPECT_EQ(to.request->file, "a.tsf");
    EXPECT_EQ(to.request->printer, "out.pdf");

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"tessaline", "--print"}, {"tessaline", "--print-to", "a.tsf"}}) {
        auto bad = ParsePrintSwitches(args);
        EXPECT_FALSE(bad.request.has_value());
        EXPECT_FALSE(bad.error.empty());
    }
}

}  // namespace
}  // namespace tessaline

namespace tessaline {
namespace {

TEST(CardsPrintLayout, Utf8NoteIsNotCutInsideACharacter) {
    // 69 ASCII bytes, then a two-byte "é" at positions 69 and 70, then more text.
    std::string note = std::string(69, 'a') + "\xC3\xA9" + std::string(10, 'b');
    auto [first, second] = SplitNoteForPrint(note);
    EXPECT_EQ(first, std::string(69, 'a'));
    EXPECT_EQ(second, "\xC3\xA9" + std::string(10, 'b'));
    // The same bytes read as Windows-1252 are two characters and may be parted.
    std::string cp1252 = std::string(69, 'a') + "\xC3\xC3" + std::string(10, 'b');
    EXPECT_EQ(SplitNoteForPrint(cp1252).first.size(), 70u);
}

}  // namespace
}  // namespace tessaline
