// Load Web Page with Automatic Access logs in through the automation browser's protocol:
// the site's HTTP authentication challenge is answered with the card's user ID and
// password, once, and the password never becomes part of an address, of the browser's
// history or of its profile files. Against a real headless Chromium.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

#include "browser_test_support.h"
#include "core/cards/card.h"
#include "support/card_fixtures.h"
#include "test_web_server.h"

namespace tessaline {
namespace {

using testing::BrowserRig;
using testing::CardFields;
using testing::MakeCard;

constexpr const char* kPassword = "Tr0ub4dor&3-only-here";

class HttpLoginTest : public testing::ChromiumRigTest {
protected:
    void SetUp() override {
        ChromiumRigTest::SetUp();
        if (!StartedServerAndRig())
            return;
        server.RequireCredentials(QByteArray("joe:") + kPassword);
        ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    }

    CCard Card(const char* password, std::uint8_t extra = 0) {
        return MakeCard(CardFields{.code = 4,
                                   .address = server.Url("/guarded/Vault").toStdString(),
                                   .user = "joe",
                                   .password = password,
                                   .attributes = std::uint8_t(CCard::kAutomaticAccessBit | extra)});
    }
    bool Shows(const std::string& title) {
        return testing::WaitUntil([&] {
            std::string t;
            return rig->automation.GetRunningExplorerTitle(t) && t == title;
        });
    }
    int RequestsWithCredentials() const {
        int n = 0;
        for (const testing::SeenRequest& seen : server.Seen())
            n += seen.credentials.isEmpty() ? 0 : 1;
        return n;
    }
};

TEST_F(HttpLoginTest, TheChallengeIsAnsweredAndNoAddressHoldsThePassword) {
    for (const bool newWindow : {false, true}) {
        server.Forget();
        const CCard card = Card(kPassword, newWindow ? CCard::kNewBrowserWindowBit : 0);
        rig->commands.LoadWebPage(&card);
        ASSERT_TRUE(Shows("Vault")) << newWindow;
        EXPECT_EQ(server.Seen().back().credentials, QByteArray("joe:") + kPassword);
        EXPECT_TRUE(rig->dde.opened.empty());

        // The address the browser reports, and its history of the tab, hold no password.
        std::string url;
        ASSERT_TRUE(rig->automation.GetRunningExplorerURL(url));
        EXPECT_EQ(url, server.Url("/guarded/Vault").toStdString());
        devtools::DevToolsClient client(rig->profileFolder);
        const auto page = client.LastActivePage();
        ASSERT_TRUE(page);
        const auto session = client.Attach(page->id);
        ASSERT_TRUE(session);
        const auto history = client.Call(QStringLiteral("Page.getNavigationHistory"), {}, *session);
        ASSERT_TRUE(history);
        const QByteArray text = QJsonDocument(*history).toJson();
        EXPECT_TRUE(text.contains("/guarded/Vault")) << text.data();
        EXPECT_FALSE(text.contains("Tr0ub4dor")) << text.data();
        EXPECT_FALSE(text.contains("joe")) << text.data();
    }

    // Nothing the browser keeps on disk holds the password.
    const int looked = testing::LookThroughClosedProfile(
        rig->profileFolder, [](const QString& path, const QByteArray& content) {
            EXPECT_FALSE(content.contains("Tr0ub4dor")) << path.toStdString();
        });
    EXPECT_GT(looked, 0);
}

// A wrong password is tried once: the second challenge is cancelled, the browser shows
// the site's refusal, and nothing loops.
TEST_F(HttpLoginTest, AWrongPasswordGetsOneChallengeNotALoop) {
    const CCard card = Card("wrong-password");
    EXPECT_EQ(rig->commands.LoadWebPage(&card), kStatusLoginRefused);
    EXPECT_TRUE(Shows("Denied"));
    testing::WaitUntil([] { return false; }, 1000);  // time for a loop to show
    EXPECT_EQ(RequestsWithCredentials(), 1);
    EXPECT_EQ(server.Challenges(), 2);  // the first, unanswered request, and the wrong one
}

// A card address that writes the default port out ("http://127.0.0.1:80/") is the same
// origin as the one the browser names in its challenge ("http://127.0.0.1"), and one with
// a host name in letters outside ASCII the same as its ASCII form.
TEST_F(HttpLoginTest, TheCardsOriginHoweverWritten) {
    testing::TestWebServer onPort80;
    const bool haveDefaultPort = onPort80.Start(80);
    if (haveDefaultPort)
        onPort80.RequireCredentials(QByteArray("joe:") + kPassword);
    const std::string port = std::to_string(server.Port());
    std::vector<std::pair<std::string, testing::TestWebServer*>> addresses = {
        {"http://b\xC3\xBC"
         "cher.localhost:" +
             port + "/guarded/Vault",
         &server},
        {"HTTP://127.0.0.1.:" + port + "/guarded/Vault", &server},
    };
    if (haveDefaultPort)
        addresses.emplace_back("http://127.0.0.1:80/guarded/Vault", &onPort80);
    for (const auto& [address, site] : addresses) {
        site->Forget();
        const CCard card = MakeCard(CardFields{.code = 4,
                                               .address = address,
                                               .user = "joe",
                                               .password = kPassword,
                                               .attributes = CCard::kAutomaticAccessBit});
        EXPECT_EQ(rig->commands.LoadWebPage(&card), kStatusNoLoginForm) << address;
        EXPECT_TRUE(Shows("Vault")) << address;
        ASSERT_FALSE(site->Seen().empty()) << address;
        EXPECT_EQ(site->Seen().back().credentials, QByteArray("joe:") + kPassword) << address;
    }
    if (!haveDefaultPort)
        GTEST_SKIP() << "port 80 of 127.0.0.1 is taken or not ours: the written-out default "
                        "port was not tried";
}

// A challenge from another origin than the card's (the card's site sends the browser on
// to another) is not answered with the card's password.
TEST_F(HttpLoginTest, AnotherOriginsChallengeGetsNothing) {
    testing::TestWebServer other;
    ASSERT_TRUE(other.Start());
    other.RequireCredentials(QByteArray("joe:") + kPassword);
    const QByteArray elsewhere = QUrl::toPercentEncoding(other.Url("/guarded/Elsewhere"));
    const CCard card = MakeCard(CardFields{
        .code = 4,
        .address = server.Url("/redirect/" + QString::fromLatin1(elsewhere)).toStdString(),
        .user = "joe",
        .password = kPassword,
        .attributes = CCard::kAutomaticAccessBit});
    rig->commands.LoadWebPage(&card);
    EXPECT_TRUE(Shows("Denied"));
    ASSERT_FALSE(other.Seen().empty());
    for (const testing::SeenRequest& seen : other.Seen())
        EXPECT_TRUE(seen.credentials.isEmpty()) << seen.path.toStdString();
    EXPECT_EQ(RequestsWithCredentials(), 0);
}

}  // namespace
}  // namespace tessaline
