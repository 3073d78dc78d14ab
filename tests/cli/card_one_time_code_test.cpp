// What "tessaline-cli totp" answers for the cards of an opened file, on cards built here
// (the one-time-password field lives only in the second sealed layout's files).

#include "cli/card_one_time_code.h"

#include <gtest/gtest.h>

#include "core/cards/card_collection.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;

constexpr const char* kRfcSecret = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";  // "12345678901234567890"

TEST(CardOneTimeCode, PrintsTheCodeOfTheOneCardOfThatName) {
    CCardCollection cards;
    AddCard(cards, {.code = 0, .name = "bank", .user = "ann"})
        ->SetOtpUri(std::string("otpauth://totp/bank:ann?secret=") + kRfcSecret + "&digits=8");
    // Windows-1252 bytes, named as the window shows them; a bare secret is SHA-1, 6 digits.
    AddCard(cards, {.code = 6, .name = "Caf\xE9"})->SetOtpUri(kRfcSecret);
    // A deleted card of the same name does not count.
    AddCard(cards, {.code = 0, .name = "bank", .sync = CCard::kDeletedBit})->SetOtpUri("AAAA");

    cli::CardCodeAnswer got = cli::CardOneTimeCode(cards, "bank", 1111111109);
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "07081804\n");
    EXPECT_EQ(got.error, "");
    got = cli::CardOneTimeCode(cards, "Caf\xC3\xA9", 59);
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "287082\n");
}

TEST(CardOneTimeCode, SaysWhyThereIsNoCode) {
    CCardCollection cards;
    AddCard(cards, {.code = 0, .name = "hotp"})->SetOtpUri("otpauth://hotp/x?secret=JBSWY3DP");
    AddCard(cards, {.code = 0, .name = "bad"})->SetOtpUri("JBSWY3DP1!");
    AddCard(cards, {.code = 0, .name = "twice", .user = "a"})->SetOtpUri("JBSWY3DP");
    AddCard(cards, {.code = 8, .name = "twice", .user = "b\tc"})->SetOtpUri("JBSWY3DP");
    struct Case {
        const char* name;
        int status;
        std::string error;
    } cases[] = {
        {"hotp", 1,
         "the card \"hotp\": Counter-based one-time codes (otpauth://hotp/) are not supported; "
         "only time-based ones (otpauth://totp/) are."},
        {"bad", 1, "the card \"bad\": The one-time code secret is not base32"},
        {"twice", 2,
         "2 cards are named \"twice\"; rename one of them (category, user ID):\n"
         "  WWW Sites\ta\n  Credit Cards\tb c"},
        {"none", 1, "no card is named \"none\""},
    };
    for (const Case& c : cases) {
        const cli::CardCodeAnswer got = cli::CardOneTimeCode(cards, c.name, 59);
        EXPECT_EQ(got.status, c.status) << c.name;
        EXPECT_TRUE(got.error.starts_with(c.error)) << got.error;
        EXPECT_EQ(got.out, "") << c.name;
    }
}

}  // namespace
}  // namespace tessaline
