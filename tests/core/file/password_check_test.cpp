#include <gtest/gtest.h>

#include "core/base/message_texts.h"
#include "core/file/password_check.h"

namespace tessaline {
namespace {

TEST(PasswordCheck, VerifyComparesAllTwentyBytes) {
    const Sha1Digest check = PasswordCheckValue("password1");
    EXPECT_TRUE(VerifyPassword("password1", check.data()));
    EXPECT_FALSE(VerifyPassword("password2", check.data()));
    for (std::size_t i = 0; i < check.size(); ++i) {
        Sha1Digest changed = check;
        changed[i] ^= 0x01;
        EXPECT_FALSE(VerifyPassword("password1", changed.data())) << i;
    }
}

TEST(PasswordCheck, AcceptNewPassword) {
    struct Case {
        const char* first;
        const char* second;
        NewPasswordVerdict verdict;
        const char* message;
    };
    const Case cases[] = {
        {"abcdefgh", "abcdefgh", NewPasswordVerdict::Accepted, nullptr},
        {"abcdefg", "abcdefg", NewPasswordVerdict::TooShort, msg::kPasswordTooShort},
        {"", "", NewPasswordVerdict::TooShort, msg::kPasswordTooShort},
        {"Abcdefgh", "abcdefgh", NewPasswordVerdict::EntriesDiffer, msg::kEntriesDiffer},
        {"short", "other", NewPasswordVerdict::EntriesDiffer, msg::kEntriesDiffer},
        {"a long passphrase", "a long passphrase", NewPasswordVerdict::Accepted, nullptr},
    };
    for (const Case& c : cases) {
        const NewPasswordVerdict v = AcceptNewPassword(c.first, c.second);
        EXPECT_EQ(v, c.verdict) << c.first;
        const char* m = NewPasswordMessage(v);
        if (c.message) {
            EXPECT_STREQ(m, c.message);
        } else {
            EXPECT_EQ(m, nullptr);
        }
    }
    EXPECT_STREQ(msg::kPasswordTooShort, "Password to short, please use more characters!");
    EXPECT_STREQ(msg::kEntriesDiffer, "Password not correct, try again!");
}

}  // namespace
}  // namespace tessaline
