#include <gtest/gtest.h>

#include "core/views/text_export.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;

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
    AddCard(cards, {.code = kWwwSites, .name = "tab\there", .user = "line\nbreak"});
    EXPECT_EQ(ExportCardsAsText(cards),
              "0\ttab\there\t\tline\r\nbreak\t\t\r\n"
              "5\tlogin\t\t\t\t\r\n"
              "6\tmail\t\t\t\t\r\n"
              "7\tbank\t1\tu\tsecret\ta  b c d\r\n"
              "4\tonline\t\t\tpin\t\r\n");
}

}  // namespace
}  // namespace tessaline
