// The window's side of a two-step login: after the user-name page, the watcher looks at
// the browser's page on its own (the event loop runs on) until the password page is
// filled, says so in the status bar, and then stops looking.

#include <QTest>
#include <deque>

#include "core/browser/browser_commands.h"
#include "core/browser/login_fill_text.h"
#include "core/cards/card.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "gui/browser/pending_login_watcher.h"
#include "support/card_fixtures.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;

namespace {

class NoPrograms : public IProcessLauncher {
public:
    bool StartCommandLine(const std::string&) override { return false; }
    bool StartProgram(const std::string&) override { return false; }
};

class NoDde : public IDdeBrowser {
public:
    void OpenURL(const std::string&, bool) override {}
    void GetWindowInfo(std::string&, std::string&) override {}
};

// A browser whose page is `url` and whose fills come to `reports`, one each.
class PagesInTurn : public IBrowserAutomation {
public:
    std::string url = "https://bank.example/username";
    std::deque<LoginFillReport> reports;
    std::vector<LoginFillRequest> fills;

    Navigation NavigateRunningExplorer(const std::string&, bool) override { return Opened(); }
    Navigation NavigateWithLogin(const std::string&, bool, const std::string&,
                                 const std::string&) override {
        return Opened();
    }
    Navigation NavigateAndWait(const std::string&, bool) override { return Opened(); }
    bool StartExplorerAtHome() override { return true; }
    bool GetRunningExplorerURL(std::string& address) override {
        address = url;
        return true;
    }
    bool GetRunningExplorerTitle(std::string& title) override {
        title = "Bank";
        return true;
    }
    LoginFillReport FillLoginForm(const LoginFillRequest& request) override {
        fills.push_back(request);
        if (reports.empty())
            return {LoginFillStatus::NoLoginForm, LoginOriginCheck::Match};
        const LoginFillReport report = reports.front();
        reports.pop_front();
        return report;
    }
    PageLoginForm ReadLoginForm(bool) override { return {}; }

private:
    static Navigation Opened() { return {Navigation::Result::Opened, {}}; }
};

}  // namespace

class PendingLoginWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void FillsThePasswordPageOnceItShowsThenStops() {
        MemoryProfile profile;
        profile.WriteInt(prefs::kGeneralSection, prefs::kSubmitLoginForms, 1);
        testing::ScriptedAnswers ui;
        NoPrograms launcher;
        NoDde dde;
        PagesInTurn browser;
        BrowserCommands commands(profile, ui, launcher, browser, dde);
        std::vector<std::string> statuses;
        // Each look runs at once here; the window runs it on its browser-call thread.
        PendingLoginWatcher watcher(
            commands, [&](const std::string& text) { statuses.push_back(text); },
            [](std::function<void()> work, std::function<void()> done) {
                work();
                done();
                return true;
            });

        // A card without a login to wait for: nothing to watch.
        const CCard plain = testing::MakeCard({.address = "https://bank.example/"});
        commands.LoadWebPage(&plain);
        watcher.WatchIfPending();
        QVERIFY(!watcher.Watching());

        LoginFillReport userPage{LoginFillStatus::Submitted, LoginOriginCheck::Match};
        userPage.userOnly = true;
        browser.reports = {userPage};
        const CCard card = testing::MakeCard({.code = 4,
                                              .address = "https://bank.example/",
                                              .user = "joe",
                                              .password = "pw",
                                              .attributes = CCard::kAutomaticAccessBit});
        QCOMPARE(commands.LoadWebPage(&card), std::string(kStatusUserIdSubmitted));
        watcher.WatchIfPending();
        QVERIFY(watcher.Watching());

        // The user-name page still shows (no password field): it waits on.
        QTRY_VERIFY(browser.fills.size() >= 3);
        QVERIFY(statuses.empty());
        // Then the password page shows.
        browser.url = "https://bank.example/password";
        browser.reports = {{LoginFillStatus::Submitted, LoginOriginCheck::Match}};
        QTRY_COMPARE(statuses, std::vector<std::string>{kStatusLoginSubmitted});
        QVERIFY(!watcher.Watching());
        const LoginFillRequest& last = browser.fills.back();
        QCOMPARE(last.password, std::string("pw"));
        QVERIFY(!last.userStep);
        const std::size_t fills = browser.fills.size();
        QTest::qWait(3 * PendingLoginWatcher::kIntervalMs);
        QCOMPARE(browser.fills.size(), fills);
    }
};

QTEST_MAIN(PendingLoginWatcherTest)
#include "pending_login_watcher_test.moc"
