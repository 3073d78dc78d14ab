#include <gtest/gtest.h>

#include "core/views/csv_export.h"
#include "core/views/csv_import.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;

TEST(CsvExport, KeePassXcLayoutEveryFieldQuotedInExportOrder) {
    CCardCollection cards;
    AddCard(cards, {.code = kBankAccounts, .name = "bank", .password = "acc \"1\", 2"});
    AddCard(cards, {.code = kWwwSites,
                    .name = "site",
                    .address = "https://s.example",
                    .user = "me",
                    .password = "pw",
                    .note = "one\r\ntwo"});
    AddCard(cards, {.code = kMiscellaneous, .name = "gone", .sync = CCard::kDeletedBit});
    EXPECT_EQ(ExportCardsAsCsv(cards),
              "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n"
              "\"Root/WWW Sites\",\"site\",\"me\",\"pw\",\"https://s.example\",\"one\ntwo\"\n"
              "\"Root/Bank Accounts\",\"bank\",\"\",\"acc \"\"1\"\", 2\",\"\",\"\"\n");
}

TEST(CsvExport, TextsGoOutAsUtf8) {
    CCardCollection cards;
    // Windows-1252 bytes and UTF-8 bytes, as cards keep them.
    AddCard(cards, {.code = kWwwSites, .name = "caf\xE9", .password = "\x80"});
    AddCard(cards, {.code = kWwwSites, .name = "\xE5\xAF\x86"});
    const std::string csv = ExportCardsAsCsv(cards);
    EXPECT_NE(csv.find("\"caf\xC3\xA9\",\"\",\"\xE2\x82\xAC\""), std::string::npos) << csv;
    EXPECT_NE(csv.find("\"\xE5\xAF\x86\""), std::string::npos) << csv;
}

// What goes out comes back in: every category, every text, the odd characters.
TEST(CsvExport, ReadBackByTheImporterGivesTheSameCards) {
    CCardCollection cards;
    for (int code = 0; code < kCategoryCount; ++code) {
        AddCard(cards, {.code = code,
                        .name = "card " + std::to_string(code),
                        .address = code % 2 ? "" : "https://x" + std::to_string(code) + ".example",
                        .user = "user,with \"quotes\"",
                        .password = " p\xE4ss ",
                        .note = "line 1\r\nline 2, \"quoted\"\r\n\x80"});
    }
    AddCard(cards, {.code = kMiscellaneous, .name = "deleted", .sync = CCard::kDeletedBit});

    const CsvImport back = ImportCsv(ExportCardsAsCsv(cards), CsvSource::Auto, 1);
    ASSERT_FALSE(back.error) << back.error->line << ": " << back.error->what;
    EXPECT_EQ(back.source, CsvSource::KeePassXc);
    std::vector<std::string> before;
    for (int code : kExportOrder) {
        for (const CCard* c : cards.List(code)) {
            before.push_back(std::to_string(c->Category()) + "|" + c->Name() + "|" + c->Address() +
                             "|" + c->UserId() + "|" + c->Password() + "|" + c->Note());
        }
    }
    std::vector<std::string> after;
    for (const CCard& c : back.cards) {
        after.push_back(std::to_string(c.Category()) + "|" + c.Name() + "|" + c.Address() + "|" +
                        c.UserId() + "|" + c.Password() + "|" + c.Note());
    }
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace tessaline
