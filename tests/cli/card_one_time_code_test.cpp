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

TEST(CardOneTimeCode, PrintsTheCodeOfTheCard) {
    CCardCollection cards;
    CCard* bank = AddCard(cards, {.code = 0, .name = "bank", .user = "ann"});
    bank->SetOtpUri(std::string("otpauth://totp/bank:ann?secret=") + kRfcSecret + "&digits=8");
    // A bare secret is SHA-1, 6 digits.
    CCard* cafe = AddCard(cards, {.code = 6, .name = "Caf\xE9"});
    cafe->SetOtpUri(kRfcSecret);

    cli::CardCodeAnswer got = cli::CardOneTimeCode(*bank, 1111111109);
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "07081804\n");
    EXPECT_EQ(got.error, "");
    got = cli::CardOneTimeCode(*cafe, 59);
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "287082\n");
}

TEST(CardOneTimeCode, SaysWhyThereIsNoCode) {
    CCardCollection cards;
    struct Case {
        const char* name;
        const char* secret;
        std::string error;
    } cases[] = {
        {"hotp", "otpauth://hotp/x?secret=JBSWY3DP",
         "the card \"hotp\": Counter-based one-time codes (otpauth://hotp/) are not supported; "
         "only time-based ones (otpauth://totp/) are."},
        {"bad", "JBSWY3DP1!", "the card \"bad\": The one-time code secret is not base32"},
        {"none", "", "the card \"none\" has no one-time code secret"},
    };
    for (const Case& c : cases) {
        CCard* card = AddCard(cards, {.code = 0, .name = c.name});
        card->SetOtpUri(c.secret);
        const cli::CardCodeAnswer got = cli::CardOneTimeCode(*card, 59);
        EXPECT_EQ(got.status, 1) << c.name;
        EXPECT_TRUE(got.error.starts_with(c.error)) << got.error;
        EXPECT_EQ(got.out, "") << c.name;
    }
}

}  // namespace
}  // namespace tessaline
