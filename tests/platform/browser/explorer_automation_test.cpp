// The automation browser against a real headless Chromium, with pages served from
// 127.0.0.1 by the test.

#include <gtest/gtest.h>

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <memory>

#include "browser_test_support.h"
#include "core/browser/browser_commands.h"
#include "core/cards/card.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "core/views/card_commands.h"
#include "gui/browser/explorer_automation.h"
#include "gui/browser/qt_process_launcher.h"
#include "gui/browser/web_page_commands.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/tessaline_view.h"
#include "platform/devtools/devtools_client.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"
#include "test_web_server.h"

namespace tessaline {
namespace {

using testing::BrowserRig;
using testing::CardFields;
using testing::MakeCard;
using testing::RecordingDde;

// No browser: every call gives false at once and leaves its outputs alone.
TEST(ExplorerAutomationWithoutBrowser, EveryCallFailsAndChangesNothing) {
    QTemporaryDir dir;
    const QString profileFolder = dir.filePath(QStringLiteral("profile"));
    MemoryProfile profile;
    profile.WriteText(prefs::kInternetSection, prefs::kExplorerFilePath,
                      dir.filePath(QStringLiteral("no-such-browser")).toStdString());
    RecordingDde dde;
    CExplorerAutomation automation(profile, profileFolder, dde);
    automation.SetTimeout(60000);  // nothing may wait for a time-out

    auto checkAllFail = [&](const char* situation) {
        std::string url = "unchanged", title = "unchanged";
        EXPECT_FALSE(automation.NavigateRunningExplorer("http://127.0.0.1:9/", false)) << situation;
        EXPECT_FALSE(automation.NavigateRunningExplorer("http://127.0.0.1:9/", true)) << situation;
        EXPECT_FALSE(automation.GetRunningExplorerURL(url)) << situation;
        EXPECT_FALSE(automation.GetRunningExplorerTitle(title)) << situation;
        EXPECT_FALSE(automation.StartExplorerAtHome()) << situation;
        EXPECT_EQ(url, "unchanged");
        EXPECT_EQ(title, "unchanged");
    };
    checkAllFail("no profile folder");

    // A port file such as a browser started with a debugging port leaves behind, naming a
    // port that another local user now listens on: it is never read, nothing connects.
    ASSERT_TRUE(devtools::MakePrivateFolder(profileFolder));
    QTcpServer forged;
    ASSERT_TRUE(forged.listen(QHostAddress::LocalHost, 0));
    int forgedConnections = 0;
    QObject::connect(&forged, &QTcpServer::newConnection, [&] { ++forgedConnections; });
    QFile portFile(profileFolder + QStringLiteral("/DevToolsActivePort"));
    ASSERT_TRUE(portFile.open(QIODevice::WriteOnly));
    portFile.write(QByteArray::number(forged.serverPort()) + "\n/devtools/browser/forged");
    portFile.close();
    checkAllFail("forged port file");
    testing::WaitUntil([] { return false; }, 200);  // lets a connection attempt arrive
    EXPECT_EQ(forgedConnections, 0);

    // A "browser" that ends at once.
    profile.WriteText(prefs::kInternetSection, prefs::kExplorerFilePath, "/bin/true");
    EXPECT_FALSE(automation.StartExplorerAtHome());

    // The commands on top: Load Web Page ends at DDE, Get Web Page gives empty texts,
    // and nothing is shown.
    testing::ScriptedAnswers ui;
    QtProcessLauncher launcher;
    BrowserCommands commands(profile, ui, launcher, automation, dde);
    const CCard card = MakeCard(CardFields{.address = "http://127.0.0.1:9/"});
    commands.LoadWebPage(&card);
    EXPECT_EQ(dde.opened, std::vector<std::string>{"http://127.0.0.1:9/"});
    const WebPageInfo page = commands.GetWebPage();
    EXPECT_EQ(page.address, "");
    EXPECT_EQ(page.title, "");
    EXPECT_EQ(dde.infoRequests, 1);
    EXPECT_TRUE(ui.shown.empty());
}

// A browser that answers before its first tab is open, as one on a busy machine does:
// starting it at home waits for that tab and sends it home instead of giving up.
TEST(ExplorerAutomationStart, WaitsForTheFirstTabOfABrowserJustStarted) {
    QTemporaryDir dir;
    const QString profileFolder = dir.filePath(QStringLiteral("profile"));
    const QString log = dir.filePath(QStringLiteral("commands.log"));
    const QString launcher = dir.filePath(QStringLiteral("slow-browser"));
    QFile script(launcher);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec '" + QByteArray(SLOW_TAB_BROWSER_PROGRAM) + "' '" +
                 QFile::encodeName(log) + "' \"$@\"\n");
    script.close();
    ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    MemoryProfile profile;
    profile.WriteText(prefs::kInternetSection, prefs::kExplorerFilePath, launcher.toStdString());
    RecordingDde dde;
    CExplorerAutomation automation(profile, profileFolder, dde);
    automation.SetStartTimeout(30000);

    EXPECT_TRUE(automation.StartExplorerAtHome());
    QFile commands(log);
    ASSERT_TRUE(commands.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = commands.readAll().split('\n');
    EXPECT_TRUE(lines.contains("Page.navigate " + QByteArray(devtools::DevToolsClient::kHomePage)))
        << commands.fileName().toStdString();
    testing::KillBrowsersOn(profileFolder);
}

class ExplorerAutomationTest : public testing::ChromiumRigTest {
protected:
    std::string Page(const QString& name) { return server.Url("/page/" + name).toStdString(); }

    bool ShowsPage(const std::string& url, const std::string& title) {
        return testing::WaitUntil([&] {
            std::string u, t;
            return rig->automation.GetRunningExplorerURL(u) &&
                   rig->automation.GetRunningExplorerTitle(t) && u == url && t == title;
        });
    }
};

TEST_F(ExplorerAutomationTest, StartAtHomeThenNavigateAndRead) {
    std::string url = "unchanged";
    EXPECT_FALSE(rig->automation.GetRunningExplorerURL(url));
    EXPECT_EQ(url, "unchanged");

    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    // The browser's start page, its new-tab page under one of its names (it redirects
    // from one to another while it loads).
    std::string home;
    EXPECT_TRUE(testing::WaitUntil([&] {
        return rig->automation.GetRunningExplorerURL(home) && home.rfind("chrome://new-", 0) == 0;
    })) << "start page: "
        << home;
    // The browser's profile folder: only the user may open it.
    EXPECT_EQ(QFile::permissions(rig->profileFolder) &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther),
              QFile::Permissions());

    // Same window: the last active tab goes there.
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("First"), false));
    EXPECT_TRUE(ShowsPage(Page("First"), "First"));
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Second"), false));
    EXPECT_TRUE(ShowsPage(Page("Second"), "Second"));

    // New window: a new tab that becomes the one read.
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Third"), true));
    EXPECT_TRUE(ShowsPage(Page("Third"), "Third"));

    // A second start while it runs opens another window at home.
    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    EXPECT_TRUE(testing::WaitUntil([&] {
        std::string u;
        return rig->automation.GetRunningExplorerURL(u) && u == home;
    }));

    // Get Web Page takes the page the browser shows.
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Shown Page"), false));
    ASSERT_TRUE(ShowsPage(server.Url("/page/Shown%20Page").toStdString(), "Shown Page"));
    const WebPageInfo page = rig->commands.GetWebPage();
    EXPECT_EQ(page.address, server.Url("/page/Shown%20Page").toStdString());
    EXPECT_EQ(page.title, "Shown Page");
    EXPECT_EQ(rig->dde.infoRequests, 0);
}

TEST_F(ExplorerAutomationTest, OpenAddressInBrowserStartsTheBrowserWhenNoneRuns) {
    rig->automation.OpenAddressInBrowser(Page("Guide"));
    EXPECT_TRUE(ShowsPage(Page("Guide"), "Guide"));
    EXPECT_TRUE(rig->dde.opened.empty());
}

TEST_F(ExplorerAutomationTest, LoadWebPageSendsTheCredentialsToTheCardsHost) {
    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    struct Case {
        const char* what;
        std::uint8_t attributes;
        int category;
        QByteArray credentials;  // what the server must see
    };
    const Case cases[] = {
        {"automatic access", CCard::kAutomaticAccessBit, 4, "joe@home:p@ss:w/rd#1 %?"},
        {"automatic access, new window", CCard::kAutomaticAccessBit | CCard::kNewBrowserWindowBit,
         0, "joe@home:p@ss:w/rd#1 %?"},
        {"no automatic access", 0, 0, ""},
        {"WWW Forms", CCard::kAutomaticAccessBit, 1, ""},
    };
    for (const Case& c : cases) {
        // A server of its own for each card, so no credentials the browser remembers
        // from an earlier case can reach it.
        testing::TestWebServer cardServer;
        ASSERT_TRUE(cardServer.Start());
        const std::string secret = cardServer.Url("/secret/Vault").toStdString();
        const CCard card = MakeCard(CardFields{.code = c.category,
                                               .address = secret,
                                               .user = "joe@home",
                                               .password = "p@ss:w/rd#1 %?",
                                               .attributes = c.attributes});
        rig->commands.LoadWebPage(&card);
        // Every request reached the card's own server (so the host stayed the card's);
        // with credentials the browser answers the server's challenge with exactly the
        // card's user ID and password.
        EXPECT_TRUE(testing::WaitUntil([&] { return !cardServer.Seen().empty(); })) << c.what;
        if (!c.credentials.isEmpty()) {
            EXPECT_TRUE(testing::WaitUntil([&] {
                return cardServer.Seen().back().credentials == c.credentials;
            })) << c.what;
            EXPECT_TRUE(testing::WaitUntil([&] {
                std::string title;
                return rig->automation.GetRunningExplorerTitle(title) && title == "Vault";
            })) << c.what;
            // Get Web Page on that page: the new card's address holds no credentials.
            const WebPageInfo page = rig->commands.GetWebPage();
            EXPECT_EQ(page.address, secret) << c.what;
            EXPECT_EQ(page.title, "Vault") << c.what;
        }
        for (const testing::SeenRequest& seen : cardServer.Seen()) {
            EXPECT_EQ(seen.path, QStringLiteral("/secret/Vault")) << c.what;
            if (c.credentials.isEmpty()) {
                EXPECT_EQ(seen.credentials, QByteArray()) << c.what;
            }
        }
    }
    EXPECT_TRUE(rig->dde.opened.empty());
}

// Get Web Page: the New Card dialog opens on the shown category with the page's title
// as name and its address; while "Show All" is shown it is refused and nothing is added.
TEST_F(ExplorerAutomationTest, GetWebPageOpensTheNewCardDialogWithThePage) {
    CTessalineNewDoc doc(rig->ui, rig->profile, nullptr);
    doc.OnNewDocument();
    CTessalineNewView view(doc, rig->profile);
    view.ShowCategory(QStringLiteral("WWW Sites"));

    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Bank Login"), false));
    const std::string address = server.Url("/page/Bank%20Login").toStdString();
    ASSERT_TRUE(ShowsPage(address, "Bank Login"));

    std::vector<CardEditorFields> opened;
    auto confirm = [&](const CardEditorFields& fields) -> std::optional<CardEditorFields> {
        opened.push_back(fields);
        return fields;
    };
    CCard* card = GetWebPageIntoNewCard(rig->commands, &doc, &view, rig->ui, rig->profile, confirm);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].name, "Bank Login");
    EXPECT_EQ(opened[0].address, address);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->Name(), "Bank Login");
    EXPECT_EQ(card->Address(), address);
    EXPECT_EQ(card->Category(), 0);
    EXPECT_TRUE(rig->ui.shown.empty());

    // Load Web Page takes the card selected in the list.
    card->SetAddress(Page("Selected"));
    view.SelectCard(card);
    LoadWebPageOfSelectedCard(rig->commands, &view);
    EXPECT_TRUE(ShowsPage(Page("Selected"), "Selected"));
    LoadWebPageOfSelectedCard(rig->commands, nullptr);  // no list: nothing happens

    view.ShowCategory(QStringLiteral("Show All"));
    EXPECT_EQ(GetWebPageIntoNewCard(rig->commands, &doc, &view, rig->ui, rig->profile, confirm),
              nullptr);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(rig->ui.Texts(), std::vector<std::string>{card_messages::kSelectCategoryFirst});

    // Without a card list the page is still read, and nothing else happens.
    EXPECT_EQ(
        GetWebPageIntoNewCard(rig->commands, nullptr, nullptr, rig->ui, rig->profile, confirm),
        nullptr);
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace tessaline
