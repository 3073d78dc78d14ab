#include <gtest/gtest.h>

#include "core/cards/one_time_code.h"
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
              "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\"\n"
              "\"Root/WWW Sites\",\"site\",\"me\",\"pw\",\"https://s.example\",\"one\ntwo\","
              "\"\"\n"
              "\"Root/Bank Accounts\",\"bank\",\"\",\"acc \"\"1\"\", 2\",\"\",\"\",\"\"\n");
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

// The one-time-password field goes out in the TOTP column and comes back into the field.
TEST(CsvExport, OneTimePasswordFieldsRoundTrip) {
    CCardCollection cards;
    const std::string address =
        "otpauth://totp/Mail:ann?secret=JBSWY3DPEHPK3PXP&issuer=Mail&algorithm=SHA256&digits=8";
    AddCard(cards, {.code = kWwwSites, .name = "Mail", .user = "ann"})->SetOtpUri(address);
    // A bare secret goes out as an address named after the card, which other programs read.
    AddCard(cards, {.code = kEmailAccounts, .name = "Caf\xE9", .user = "bob"})
        ->SetOtpUri("jbsw y3dp");
    // What cannot be read goes out as it is: nothing is lost.
    AddCard(cards, {.code = kMiscellaneous, .name = "odd"})->SetOtpUri("not-a-secret!");
    AddCard(cards, {.code = kMiscellaneous, .name = "none"});

    const std::string csv = ExportCardsAsCsv(cards);
    EXPECT_NE(csv.find(",\"" + address + "\"\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",\"otpauth://totp/Caf%C3%A9:bob?secret=JBSWY3DP&issuer=Caf%C3%A9"
                       "&algorithm=SHA1&digits=6&period=30\"\n"),
              std::string::npos)
        << csv;

    const CsvImport back = ImportCsv(csv, CsvSource::Auto, 1);
    ASSERT_FALSE(back.error) << back.error->line << ": " << back.error->what;
    std::vector<std::string> otp;
    for (const CCard& c : back.cards)
        otp.push_back(c.Name() + "=" + c.OtpUri());
    ASSERT_EQ(otp.size(), 4u);
    EXPECT_EQ(otp[0], "Mail=" + address);
    EXPECT_EQ(otp[2], "odd=not-a-secret!");
    EXPECT_EQ(otp[3], "none=");
    // The secret's codes are the same as before.
    const std::int64_t now = 1'765'000'000;
    EXPECT_EQ(OneTimeCodeAt(back.cards[1].OtpUri(), now).code, OneTimeCodeAt("JBSWY3DP", now).code);
    EXPECT_EQ(OneTimeCodeAt(back.cards[1].OtpUri(), now).code.size(), 6u);
}

// A KeePassXC export comes back out with its TOTP column as it was.
TEST(CsvExport, KeePassXcTotpColumnComesBackOutUnchanged) {
    const char* text =
        "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
        "\"Last Modified\",\"Created\"\n"
        "\"Root\",\"git\",\"ann\",\"pw\",\"https://git.example\",\"\","
        "\"otpauth://totp/git:ann?secret=GEZDGNBVGY3TQOJQ&period=60&digits=7&issuer=git\",\"0\","
        "\"\",\"\"\n";
    const CsvImport in = ImportCsv(text, CsvSource::Auto, 1);
    ASSERT_FALSE(in.error) << in.error->what;
    CCardCollection cards;
    for (const CCard& c : in.cards)
        cards.AddCardToCategory(c.Category(), cards.Adopt(c));
    EXPECT_NE(
        ExportCardsAsCsv(cards).find(
            ",\"otpauth://totp/git:ann?secret=GEZDGNBVGY3TQOJQ&period=60&digits=7&issuer=git\"\n"),
        std::string::npos);
}

}  // namespace
}  // namespace tessaline
