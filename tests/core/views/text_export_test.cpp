#include <gtest/gtest.h>

#include "core/views/text_export.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;

TEST(TextExport, EmptyDocumentGivesNothing) {
    CCardCollection cards;
    EXPECT_EQ(ExportCardsAsText(cards), "");
}

TEST(TextExport, LinesInExportOrderWithTheirSixFields) {
    CCardCollection cards;
    AddCard(cards, {.code = kOnlineBanking, .name = "online", .password = "pin"});
    AddCard(cards, {.code = kBankAccounts,
                    .name = "bank",
                    .address = "1",
                    .user = "u",
                    .password = "secret",
                    .note = "a\r\nb\nc\rd"});
    AddCard(cards, {.code = kLoginAccounts, .name = "login"});
    AddCard(cards, {.code = kEmailAccounts, .name = "mail"});
    AddCard(cards, {.code = kMiscellaneous, .name = "deleted", .sync = CCard::kDeletedBit});
    AddCard(cards, {.code = kWwwSites, .name = "plain"});
    EXPECT_EQ(ExportCardsAsText(cards),
              "0\tplain\t\t\t\t\r\n"
              "5\tlogin\t\t\t\t\r\n"
              "6\tmail\t\t\t\t\r\n"
              "7\tbank\t1\tu\tsecret\ta  b c d\r\n"
              "4\tonline\t\t\tpin\t\r\n");
}

// A tab, CR or LF inside the name, address, user ID or password would end its column (or
// the line) when the file is read back: each is written as a space, and the cards that
// changed are named. A tab in the note stays: the note takes the rest of the line.
TEST(TextExport, TabsAndLineBreaksInsideColumnsBecomeSpaces) {
    struct Case {
        const char* what;
        CardFields card;
        std::string line;
        bool changed;
    };
    const Case cases[] = {
        {"tab in password",
         {.code = kWwwSites, .name = "n", .password = "a\tb"},
         "0\tn\t\t\ta b\t\r\n",
         true},
        {"tab in name", {.code = kWwwSites, .name = "tab\there"}, "0\ttab here\t\t\t\t\r\n", true},
        {"line breaks in user ID and address",
         {.code = kLoginAccounts, .name = "n", .address = "a\rb", .user = "line\r\nbreak"},
         "5\tn\ta b\tline  break\t\t\r\n",
         true},
        {"tab in note kept",
         {.code = kMiscellaneous, .name = "n", .note = "x\ty\r\nz"},
         "14\tn\t\t\t\tx\ty  z\r\n",
         false},
        {"nothing to change",
         {.code = kWwwSites, .name = "n", .password = "p w"},
         "0\tn\t\t\tp w\t\r\n",
         false},
    };
    for (const Case& c : cases) {
        CCardCollection cards;
        AddCard(cards, c.card);
        std::vector<TextExportChange> changed;
        EXPECT_EQ(ExportCardsAsText(cards, &changed), c.line) << c.what;
        EXPECT_EQ(changed.size(), c.changed ? 1u : 0u) << c.what;
        if (c.changed && !changed.empty()) {
            EXPECT_EQ(changed[0].category, c.card.code) << c.what;
            EXPECT_EQ(changed[0].name, c.line.substr(c.line.find('\t') + 1,
                                                     c.line.find('\t', c.line.find('\t') + 1) -
                                                         c.line.find('\t') - 1))
                << c.what;
        }
    }
}

}  // namespace
}  // namespace tessaline
