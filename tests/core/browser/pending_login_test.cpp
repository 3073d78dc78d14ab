// The second step of a two-step login: the password page is filled only on the card's
// site, within a minute of the user-name page.

#include <gtest/gtest.h>

#include "core/browser/pending_login.h"

namespace tessaline {
namespace {

constexpr std::int64_t kStart = 1'000'000;

LoginFillRequest BankLogin() {
    LoginFillRequest request{"https://bank.example/", "joe", "pw", true};
    request.waitForFormMs = 5000;
    return request;
}

TEST(PendingLoginTest, OnlyTheCardsSiteWithinAMinuteGetsThePassword) {
    struct Case {
        const char* page;
        std::int64_t afterMs;
        bool filled;
    };
    const Case cases[] = {
        {"https://bank.example/password", 0, true},
        {"https://login.bank.example/step2", 30'000, true},
        {"https://bank.example/password", PendingLogin::kLimitMs, true},
        {"https://evil.example/password", 1'000, false},
        {"https://bank.example.evil.example/", 1'000, false},
        {"http://bank.example/password", 1'000, false},  // the card is https
        {"https://bank.example:8443/password", 1'000, false},
        {"https://bank.example/password", PendingLogin::kLimitMs + 1, false},
        {"https://bank.example/password", -1, false},  // before it began: no clock to trust
    };
    for (const Case& c : cases) {
        PendingLogin pending;
        pending.Start(BankLogin(), kStart);
        const LoginFillRequest* request = pending.ForPage(c.page, kStart + c.afterMs);
        EXPECT_EQ(request != nullptr, c.filled) << c.page << " +" << c.afterMs;
        if (!request)
            continue;
        EXPECT_EQ(request->cardAddress, "https://bank.example/");
        EXPECT_EQ(request->userId, "joe");
        EXPECT_EQ(request->password, "pw");
        EXPECT_TRUE(request->submit);
        // The password page is never taken for another user-name page, nor waited for.
        EXPECT_FALSE(request->userStep);
        EXPECT_EQ(request->waitForFormMs, 0);
    }
}

TEST(PendingLoginTest, AnotherSiteLeavesItWaitingAndTheEndOfTheMinuteForgetsIt) {
    PendingLogin pending;
    EXPECT_FALSE(pending.Waiting(kStart));
    EXPECT_EQ(pending.ForPage("https://bank.example/", kStart), nullptr);

    pending.Start(BankLogin(), kStart);
    EXPECT_TRUE(pending.Waiting(kStart + 10));
    EXPECT_EQ(pending.ForPage("https://evil.example/", kStart + 10), nullptr);
    EXPECT_TRUE(pending.Waiting(kStart + 20));

    EXPECT_EQ(pending.ForPage("https://bank.example/", kStart + PendingLogin::kLimitMs + 1),
              nullptr);
    EXPECT_FALSE(pending.Waiting(kStart + 30));  // forgotten, even if asked "earlier"
    EXPECT_EQ(pending.ForPage("https://bank.example/", kStart + 30), nullptr);

    // A new start replaces the old one; Clear ends it.
    pending.Start(BankLogin(), kStart + 100'000);
    EXPECT_NE(pending.ForPage("https://bank.example/", kStart + 100'001), nullptr);
    pending.Clear();
    EXPECT_FALSE(pending.Waiting(kStart + 100'002));
    EXPECT_EQ(pending.ForPage("https://bank.example/", kStart + 100'002), nullptr);
}

}  // namespace
}  // namespace tessaline
