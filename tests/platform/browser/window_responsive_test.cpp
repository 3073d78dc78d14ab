// The main window while the automation browser keeps it waiting: a crashed tab, a slow
// site, a page that sends the browser on from its load handler, a site slower than the
// time limits. The command returns at once, the window's own event loop keeps running
// (its timer fires) while the call waits, the command is greyed and the status bar says
// what the window waits for; then the call ends with the right page and message.

#include <gtest/gtest.h>

#include <QAction>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "browser_test_support.h"
#include "core/commands/command_ids.h"
#include "gui/app/frame_all_commands.h"
#include "gui/app/frame_browser_commands.h"
#include "gui/app/main_frame.h"
#include "gui/browser/browser_call_runner.h"
#include "gui/browser/browser_integration.h"
#include "gui/views/card_table_model.h"
#include "gui/views/tessaline_view.h"
#include "platform/devtools/devtools_client.h"
#include "support/data_files.h"

namespace tessaline {
namespace {

// The main window with every command wired, as the program makes it, answered by the
// GoogleTest scripted user; the automation browser is the test's headless one.
struct TestWindow {
    testing::ScriptedAnswers ui;
    MemoryProfile profile;
    QTemporaryDir folder;
    QString browserProfile = folder.filePath(QStringLiteral("browser"));
    std::unique_ptr<CMainFrame> frame;

    explicit TestWindow(const QString& browserProgram) {
        profile.WriteText(prefs::kInternetSection, prefs::kExplorerFilePath,
                          browserProgram.toStdString());
        frame = std::make_unique<CMainFrame>(ui, profile);
        WireFrameCommands(*frame, ui, profile, FrameCommandOptions{browserProfile, {}});
    }
    // Whether a command can be chosen now, as its menu entry or button shows it.
    bool Enabled(CommandId command) {
        frame->UpdateCommandState();
        return frame->Action(command)->isEnabled();
    }
};

const QByteArray kLoginForm =
    "<!DOCTYPE html><html><head><title>Sign in</title></head><body>"
    "<form action='/done' method='post'><input name='u' type='text'>"
    "<input name='p' type='password'><button>Sign in</button></form></body></html>";

// What the window did while one command ran.
struct CommandRun {
    bool returnedAtOnce = false;  // the command returned while its call still ran
    QString statusWhileWaiting;   // the status bar just after the command returned
    bool greyedWhileWaiting = false;
    int ticksWhileWaiting = 0;  // the window's timer, after the command returned
    QString statusAfter;        // the status bar once the call ended
};

class WindowWhileBrowserWaits : public testing::ChromiumTest {
protected:
    void SetUp() override {
        ChromiumTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(server.Start());
        server.ServePage(QStringLiteral("/form"), kLoginForm);
        w = std::make_unique<TestWindow>(Launcher());
        profileFolder = w->browserProfile;
        CExplorerAutomation& automation = Automation();
        automation.SetStartTimeout(30000);
        automation.SetTimeout(30000);
        ASSERT_TRUE(automation.StartExplorerAtHome());
        w->frame->show();
    }
    void TearDown() override {
        if (!w)
            return;
        testing::WaitUntil([this] { return !Runner().Busy(); }, 60000);
        devtools::DevToolsClient(profileFolder, 5000).CloseBrowser();
        testing::KillBrowsersOn(profileFolder);
        w.reset();
        testing::RemoveProfileFolder(profileFolder);
    }

    CExplorerAutomation& Automation() {
        return CFrameBrowserCommands::Of(*w->frame)->Integration().Automation();
    }
    BrowserCallRunner& Runner() { return CFrameBrowserCommands::Of(*w->frame)->Runner(); }

    // Opens a file with one card of `address` (a user ID and password, so Load Web Page
    // waits for its page to fill it) and selects the card.
    void SelectCardFor(const QString& address) {
        w->frame->CloseAllDocuments();
        const QString file = w->folder.filePath(QStringLiteral("cards.tsf"));
        ASSERT_TRUE(testing::WriteDataFile(file.toStdString(), {{.code = kWwwSites,
                                                                 .name = "site",
                                                                 .address = address.toStdString(),
                                                                 .user = "me",
                                                                 .password = "p@ss"}}));
        ASSERT_NE(w->frame->OpenDocumentFile(file), nullptr);
        w->frame->ActiveView()->SelectCard(w->frame->ActiveView()->Model()->Rows().front());
    }

    // Runs the command as a user does and watches the window until its call ended.
    CommandRun RunCommand(CommandId command) {
        CommandRun run;
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);
        w->frame->OnCommand(command);
        run.returnedAtOnce = Runner().Busy();
        run.statusWhileWaiting = w->frame->StatusMessage();
        run.greyedWhileWaiting = !w->Enabled(command);
        // Counted from here: the ticks are the window's own loop's, not a wait's inside
        // the command.
        ticks = 0;
        EXPECT_TRUE(testing::WaitUntil([this] { return !Runner().Busy(); }, 90000));
        run.ticksWhileWaiting = ticks;
        run.statusAfter = w->frame->StatusMessage();
        return run;
    }

    // The address of the tab the browser shows now.
    QString ShownAddress() {
        QString url;
        devtools::DevToolsClient(profileFolder, 10000).LocationURL(url);
        return url;
    }

    // Crashes the tab the browser shows, as a renderer crash would.
    void CrashShownTab() {
        std::optional<devtools::PageTarget> page;
        {
            // The browser serves one client at a time: this one ends before the next.
            devtools::DevToolsClient browser(profileFolder, 5000);
            page = browser.LastActivePage();
            ASSERT_TRUE(page);
            const std::optional<QString> session = browser.Attach(page->id);
            ASSERT_TRUE(session);
            browser.Call(QStringLiteral("Page.crash"), {}, *session, 5000);
            ASSERT_TRUE(browser.SessionLost(*session));
        }
        // The browser tells a new session of the tab at once that it is gone.
        ASSERT_TRUE(testing::WaitUntil([&] {
            devtools::DevToolsClient look(profileFolder, 5000);
            const std::optional<QString> probe = look.Attach(page->id);
            return probe && look.SessionLost(*probe);
        }));
    }

    testing::TestWebServer server;
    std::unique_ptr<TestWindow> w;
    QString profileFolder;
};

// The command returned while its call still ran, greyed, with the status bar saying so.
// A call that waits for a page lasts at least the moment a page is watched for settling,
// many times the timer's interval: the window's own loop ticked meanwhile.
void ExpectResponsive(const CommandRun& run, bool waitsForAPage = true) {
    EXPECT_TRUE(run.returnedAtOnce);
    EXPECT_EQ(run.statusWhileWaiting.toStdString(), BrowserCallRunner::kWaitingText);
    EXPECT_TRUE(run.greyedWhileWaiting);
    if (waitsForAPage) {
        EXPECT_GE(run.ticksWhileWaiting, 3);
    }
}

// Each row: what is done to the browser or the site first, the card's page, the time
// limits, and how Load Web Page must end.
TEST_F(WindowWhileBrowserWaits, LoadWebPageNeverHoldsUpTheWindowAndEndsRight) {
    if (!w)
        return;
    const QString form = server.Url(QStringLiteral("/form"));
    const QString slowForm = server.Url(QStringLiteral("/slow-form"));
    const QString sendsOn = server.Url(QStringLiteral("/sends-on"));
    const QString verySlow = server.Url(QStringLiteral("/very-slow"));
    server.DelayAnswer(QStringLiteral("/slow-form"), 3000);
    server.ServePage(QStringLiteral("/slow-form"), kLoginForm);
    server.ServePage(QStringLiteral("/sends-on"),
                     "<!DOCTYPE html><html><head><title>On</title></head>"
                     "<body onload=\"location.href='/slow-form'\">Moving on</body></html>");
    server.DelayAnswer(QStringLiteral("/very-slow"), 8000);
    server.ServePage(QStringLiteral("/very-slow"), kLoginForm);

    struct Case {
        const char* name;
        std::function<void()> before;
        QString cardAddress;
        int browserTimeoutMs;  // one wait for the browser
        int callLimitMs;       // the whole command
        QString status;        // the status bar once the call ended
        QString shownAddress;  // the tab's page then; empty: not looked at
    };
    const std::vector<Case> cases = {
        {"crashed tab", [this] { CrashShownTab(); }, form, 30000, 90000,
         QString::fromLatin1(kStatusLoginFilled), form},
        {"slow site",
         {},
         slowForm,
         30000,
         90000,
         QString::fromLatin1(kStatusLoginFilled),
         slowForm},
        {"load handler sends the browser on to a slow site",
         {},
         sendsOn,
         30000,
         90000,
         QString::fromLatin1(kStatusLoginFilled),
         slowForm},
        {"site slower than the browser's time-out",
         {},
         verySlow,
         2000,
         90000,
         QString::fromStdString(
             PageNotLoadedText(verySlow.toStdString(), "no answer within 2 seconds")),
         {}},
        {"site slower than the command's time limit",
         {},
         verySlow,
         30000,
         1500,
         BrowserCallRunner::GaveUpText(QStringLiteral("Load Web Page"), 1500),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before)
            c.before();
        Automation().SetTimeout(c.browserTimeoutMs);
        Runner().SetTimeLimit(c.callLimitMs);
        SelectCardFor(c.cardAddress);
        const CommandRun run = RunCommand(CommandId::LoadWebPage);
        ExpectResponsive(run);
        // The reason in brackets after the page depends on which of the browser's waits ran
        // out first on a loaded machine; the message must name the page either way.
        const auto named = [](const QString& text) {
            QString page = text.section(QStringLiteral(" ("), 0, 0);
            if (page.endsWith(QLatin1Char('.')))
                page.chop(1);
            return page.toStdString();
        };
        EXPECT_EQ(named(run.statusAfter), named(c.status));
        if (!c.shownAddress.isEmpty()) {
            EXPECT_EQ(ShownAddress().toStdString(), c.shownAddress.toStdString());
        }
        // The command can be chosen again once its call ended.
        EXPECT_TRUE(w->Enabled(CommandId::LoadWebPage));
    }
}

// Fill Login and Get Web Page on a crashed tab: each ends without holding up the window,
// and the next Load Web Page goes to a new tab that answers.
TEST_F(WindowWhileBrowserWaits, CommandsOnACrashedTabEndAndTheNextOneUsesANewTab) {
    if (!w)
        return;
    const QString form = server.Url(QStringLiteral("/form"));
    SelectCardFor(form);
    ExpectResponsive(RunCommand(CommandId::LoadWebPage));
    CrashShownTab();
    const CommandRun fill = RunCommand(CommandId::FillLogin);
    ExpectResponsive(fill, false);
    // The crashed tab shows nothing a card could be filled into.
    EXPECT_NE(fill.statusAfter.toStdString(), kStatusLoginFilled);

    CrashShownTab();
    Runner().SetTimeLimit(90000);
    const CommandRun load = RunCommand(CommandId::LoadWebPage);
    ExpectResponsive(load);
    EXPECT_EQ(load.statusAfter.toStdString(), kStatusLoginFilled);
    EXPECT_EQ(ShownAddress().toStdString(), form.toStdString());
}

}  // namespace
}  // namespace tessaline
