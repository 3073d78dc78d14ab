#include <gtest/gtest.h>

#include <algorithm>

#include "core/cards/card_collection.h"
#include "core/views/print_layout.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;

// A page of 1000 x 1000 units with lines of 20: 50 rows, 45 for cards.
constexpr PrintDevice kDevice{1000, 1000, 20, 8};
constexpr int kCardRows = 45;

// Every character 10 units wide.
int Measure(std::string_view utf8) {
    int characters = 0;
    for (char c : utf8)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters * 10;
}
const MeasureText kMeasure = Measure;

using Page = std::vector<PlacedText>;

const PlacedText* Find(const Page& page, const std::string& text) {
    auto it =
        std::find_if(page.begin(), page.end(), [&](const PlacedText& t) { return t.text == text; });
    return it == page.end() ? nullptr : &*it;
}

// The value printed beside "Card:" at each card on the page, in order.
std::vector<std::string> CardNumbers(const Page& page) {
    std::vector<std::string> out;
    for (const PlacedText& t : page) {
        if (t.text == "Card:") {
            auto value = std::find_if(page.begin(), page.end(),
                                      [&](const PlacedText& v) { return v.y == t.y && v.x > t.x; });
            out.push_back(value == page.end() ? "?" : value->text);
        }
    }
    return out;
}

TEST(CardsPrintLayout, WrapsAtSpacesKeepsLineBreaksAndNeverPartsACharacter) {
    struct Case {
        const char* name;
        std::string text;
        int width;
        std::vector<std::string> lines;
    };
    const std::string b100 = std::string(60, 'b') + " " + std::string(39, 'b');
    const Case cases[] = {
        {"empty", "", 100, {""}},
        {"fits", "short", 100, {"short"}},
        {"CR LF, CR and LF",
         "Line one\r\nLine two\rthree\nfour",
         1000,
         {"Line one", "Line two", "three", "four"}},
        {"empty line kept", "a\n\nb", 100, {"a", "", "b"}},
        {"at the last space that fits", "aaaa bbbb cccc", 90, {"aaaa bbbb", "cccc"}},
        {"spaces at the break dropped", "word   next", 60, {"word", "next"}},
        {"a word longer than the line", "abcdefghijkl", 50, {"abcde", "fghij", "kl"}},
        {"UTF-8 whole characters",
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
         20,
         {"\xC3\xA9\xC3\xA9", "\xC3\xA9\xC3\xA9", "\xC3\xA9"}},
        {"narrower than a character", "abc", 5, {"a", "b", "c"}},
        {"a long note", b100, 700, {std::string(60, 'b'), std::string(39, 'b')}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapForPrint(c.text, c.width, kMeasure), c.lines) << c.name;
    // A long text is measured a few times per line, not once per character.
    int calls = 0;
    const MeasureText counting = [&calls](std::string_view t) {
        ++calls;
        return Measure(t);
    };
    const auto lines = WrapForPrint(std::string(32000, 'x'), 1000, counting);
    EXPECT_EQ(lines.size(), 320u);
    EXPECT_LT(calls, 320 * 20);
}

// Each text beside the label the card editor shows for it in the card's category; the
// card's number on a row of its own, under a label no category uses.
TEST(CardsPrintLayout, ACardsRowsAndLabels) {
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kCreditCards,
                              .name = "Visa",
                              .address = "12/29",
                              .user = "4111",
                              .password = "1234",
                              .note = "call bank"});
    auto source = PrintSource(cards, "Credit Cards", true);
    auto pages = LayoutPrintCards(kDevice, PrintOptions{true, true}, source, kMeasure);
    ASSERT_EQ(pages.size(), 1u);
    // "Name/Type:" and "Exp. Date:" are the widest labels: 100 units, then a character.
    const int value = 100 + 100 + 8;
    const Page expected = {
        {0, 2 * 20, "Credit Cards"},  {100, 3 * 20, "Card:"},   {value, 3 * 20, "1"},
        {100, 4 * 20, "Name/Type:"},  {value, 4 * 20, "Visa"},  {100, 5 * 20, "Exp. Date:"},
        {value, 5 * 20, "12/29"},     {100, 6 * 20, "Number:"}, {value, 6 * 20, "4111"},
        {100, 7 * 20, "PIN Code:"},   {value, 7 * 20, "1234"},  {100, 8 * 20, "Note:"},
        {value, 8 * 20, "call bank"},
    };
    EXPECT_EQ(pages[0], expected);

    auto plain = LayoutPrintCards(kDevice, PrintOptions{false, true}, source, kMeasure);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(Find(plain[0], "Note:"), nullptr);
    EXPECT_EQ(Find(plain[0], "call bank"), nullptr);
    EXPECT_EQ(plain[0].size(), 11u);
    EXPECT_TRUE(LayoutPrintCards(kDevice, PrintOptions{}, {}, kMeasure).empty());
}

// Nothing goes past the right edge: long texts go on as more lines, whole, in order; the
// note keeps its line breaks.
TEST(CardsPrintLayout, LongTextsWrapWithinThePage) {
    CCardCollection cards;
    std::string password;
    for (int i = 0; i < 300; ++i)
        password.push_back(static_cast<char>('a' + i % 26));
    const std::string address = "https://example.com/" + std::string(150, 'p') + "?q=1";
    AddCard(cards, CardFields{.code = kWwwSites,
                              .name = "long",
                              .address = address,
                              .password = password,
                              .note = "Line one\r\nLine two"});
    auto pages = LayoutPrintCards(kDevice, PrintOptions{true, true},
                                  PrintSource(cards, "WWW Sites", true), kMeasure);
    ASSERT_EQ(pages.size(), 1u);
    const Page& page = pages[0];
    for (const PlacedText& t : page)
        EXPECT_LE(t.x + Measure(t.text), kDevice.width) << t.text;
    // The value lines of a label run from its row to the next label's.
    auto valueOf = [&](const std::string& label) {
        const PlacedText* l = Find(page, label);
        std::vector<std::string> lines;
        if (l == nullptr)
            return lines;
        for (const PlacedText& t : page) {
            if (t.x > l->x && t.y >= l->y) {
                const bool nextLabel = std::any_of(page.begin(), page.end(), [&](const auto& o) {
                    return o.x == l->x && o.y > l->y && o.y <= t.y;
                });
                if (!nextLabel)
                    lines.push_back(t.text);
            }
        }
        return lines;
    };
    const auto passwordLines = valueOf("Password:");
    ASSERT_GT(passwordLines.size(), 1u);
    std::string joined;
    for (const std::string& line : passwordLines)
        joined += line;
    EXPECT_EQ(joined, password);
    joined.clear();
    for (const std::string& line : valueOf("URL:"))
        joined += line;
    EXPECT_EQ(joined, address);
    EXPECT_EQ(valueOf("Note:"), (std::vector<std::string>{"Line one", "Line two"}));
}

// Only whole cards go on a page while they fit; the numbers run on across pages; a card
// taller than a page goes on over the next, nothing left out; no row reaches the footer.
TEST(CardsPrintLayout, PagesHoldWholeCardsAndNumbersRunOn) {
    CCardCollection cards;
    for (int i = 0; i < 7; ++i)
        AddCard(cards, CardFields{.code = kWwwSites, .name = "w" + std::to_string(i)});
    std::string tall;
    for (int i = 0; i < 60; ++i)
        tall += "note line " + std::to_string(i) + "\r\n";
    AddCard(cards, CardFields{.code = kMiscellaneous, .name = "tall", .note = tall});
    auto pages = LayoutPrintCards(kDevice, PrintOptions{true, true},
                                  PrintSource(cards, "Show All", true), kMeasure);
    // A card takes 7 rows and a free one: 5 whole cards on the first page (40 rows; a
    // sixth would end on row 47 of 45), 2 on the second, then the tall card from a page
    // of its own over two pages.
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(CardNumbers(pages[0]), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(CardNumbers(pages[1]), (std::vector<std::string>{"6", "7"}));
    EXPECT_EQ(CardNumbers(pages[2]), (std::vector<std::string>{"8"}));
    EXPECT_TRUE(CardNumbers(pages[3]).empty());
    int noteLines = 0;
    for (const Page& page : pages) {
        for (const PlacedText& t : page) {
            EXPECT_GE(t.y, 2 * 20);
            EXPECT_LT(t.y, (2 + kCardRows) * 20);
            if (t.text.rfind("note line ", 0) == 0) {
                EXPECT_EQ(t.text, "note line " + std::to_string(noteLines++));
            }
        }
    }
    EXPECT_EQ(noteLines, 60);
}

TEST(CardsPrintLayout, HeaderAndFooterInsideTheDrawingArea) {
    const Page frame = LayoutPageFrame(3, kDevice, PageTexts{"mine.tse", "3/7/26"}, kMeasure);
    const Page expected = {
        {0, 0, "mine.tse"},
        {1000 - 90, 0, "Tessaline"},
        {(1000 - 10) / 2, 1000 - 20, "3"},
        {0, 1000 - 20, "3/7/26"},
    };
    EXPECT_EQ(frame, expected);
}

TEST(CardsPrintLayout, ShowAllInPrintOrderAndAtmOnlyWhenAsked) {
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
    // A single category is printed whole even when it is ATM/PIN Cards.
    EXPECT_EQ(PrintSource(cards, "ATM/PIN Cards", false).size(), 1u);

    auto pages = LayoutPrintCards(kDevice, PrintOptions{true, true}, all, kMeasure);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(CardNumbers(pages[1]), (std::vector<std::string>{"6", "7", "8"}));
    EXPECT_NE(Find(pages[0], "w4"), nullptr);
    EXPECT_EQ(Find(pages[1], "w4"), nullptr);
    EXPECT_NE(Find(pages[1], "atm"), nullptr);
}

TEST(CardsPrintLayout, SearchResultsPrintTheResults) {
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kWwwSites, .name = "alpha"});
    AddCard(cards, CardFields{.code = kEmailAccounts, .name = "alphabet"});
    AddCard(cards, CardFields{.code = kEmailAccounts, .name = "other"});
    cards.GatherAndSearch("ALPHA");
    auto source = PrintSource(cards, "Search Results", true);
    ASSERT_EQ(source.size(), 2u);
    auto pages = LayoutPrintCards(kDevice, PrintOptions{true, true}, source, kMeasure);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(Find(pages[0], "alphabet"), nullptr);
    EXPECT_NE(Find(pages[0], "Email Accounts"), nullptr);
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
