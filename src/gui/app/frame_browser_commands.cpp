#include "gui/app/frame_browser_commands.h"

#include "core/browser/browser_commands.h"
#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "gui/app/main_frame.h"
#include "gui/browser/browser_call_runner.h"
#include "gui/browser/browser_integration.h"
#include "gui/browser/pending_login_watcher.h"
#include "gui/browser/web_page_commands.h"

namespace tessaline {

CFrameBrowserCommands::CFrameBrowserCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile,
                                             const QString& browserProfileFolder)
    : QObject(&frame),
      frame_(frame),
      ui_(ui),
      profile_(profile),
      browser_(std::make_unique<BrowserIntegration>(profile, ui, browserProfileFolder)),
      runner_(std::make_unique<BrowserCallRunner>()) {
    setObjectName(QStringLiteral("browserCommands"));
    connect(runner_.get(), &BrowserCallRunner::busyChanged, this, &CFrameBrowserCommands::ShowBusy);
    connect(runner_.get(), &BrowserCallRunner::gaveUp, this,
            [this](const QString& message) { frame_.ShowStatusMessage(message); });
    BrowserCommands* browser = &browser_->Commands();
    CommandRouter& commands = frame_.Commands();
    const auto launchWww = [this, browser] {
        RunBrowserCall("Launch WWW", [browser] { browser->LaunchWebBrowser(); });
    };
    BindBrowserCall(CommandId::LaunchWww, launchWww);
    BindBrowserCall(CommandId::ToolLaunchBrowser, launchWww);
    commands.Bind(CommandId::LaunchEmail, browser, &BrowserCommands::LaunchEmail);
    commands.Bind(CommandId::LaunchLogin, browser, &BrowserCommands::LaunchLogin);
    commands.Bind(CommandId::LaunchNews, browser, &BrowserCommands::LaunchNews);
    commands.Bind(CommandId::LaunchFtp, browser, &BrowserCommands::LaunchFtp);
    commands.Bind(CommandId::HelpReader, browser, &BrowserCommands::LaunchHelpReader);
    BindBrowserCall(CommandId::OnlineDocumentation, [this, browser] {
        RunBrowserCall("Online Documentation", [browser] { browser->OpenOnlineDocumentation(); });
    });
    BindBrowserCall(CommandId::HomePage, [this, browser] {
        RunBrowserCall("the home page", [browser] { browser->OpenHomePage(); });
    });
    BindBrowserCall(CommandId::LoadWebPage, [this] { LoadWebPage(); });
    BindBrowserCall(CommandId::ToolLoadWebPage, [this] { LoadWebPage(); });
    BindBrowserCall(CommandId::GetWebPage, [this] { GetWebPage(); });
    BindBrowserCall(CommandId::ToolGetWebPage, [this] { GetWebPage(); });
    BindBrowserCall(CommandId::FillLogin, [this] { FillLogin(); });
    // The password page of a two-step login is looked for through the same runner, one
    // call at a time with the commands'.
    pendingLogin_ = new PendingLoginWatcher(
        *browser, [this](const std::string& text) { frame_.ShowStatusText(text); },
        [this](std::function<void()> work, std::function<void()> done) {
            return runner_->Start(QStringLiteral("the login's next page"), std::move(work),
                                  std::move(done));
        },
        this);
}

CFrameBrowserCommands::~CFrameBrowserCommands() = default;

CFrameBrowserCommands* CFrameBrowserCommands::Of(CMainFrame& frame) {
    return frame.findChild<CFrameBrowserCommands*>(QString(), Qt::FindDirectChildrenOnly);
}

void CFrameBrowserCommands::BindBrowserCall(CommandId command, std::function<void()> work) {
    frame_.Commands().Bind(command, std::move(work), [this, command](const CommandContext& c) {
        return !runner_->Busy() && IsCommandEnabled(command, c);
    });
}

void CFrameBrowserCommands::RunBrowserCall(const char* what, std::function<void()> work,
                                           std::function<void()> done) {
    // A second click while a call runs is ignored, however it was reached.
    runner_->Start(QString::fromUtf8(what), std::move(work), std::move(done));
}

void CFrameBrowserCommands::ShowBusy(bool busy) {
    const QString waiting = QString::fromUtf8(BrowserCallRunner::kWaitingText);
    if (busy)
        frame_.ShowStatusMessage(waiting);
    else if (frame_.StatusMessage() == waiting)
        frame_.ShowStatusMessage(QString());
    frame_.UpdateCommandState();
}

void CFrameBrowserCommands::RunStartupLaunches() {
    BrowserCommands* browser = &browser_->Commands();
    RunBrowserCall("Launch WWW", [browser] { browser->RunStartupLaunches(); });
}

void CFrameBrowserCommands::LoadWebPage() {
    // The card is copied: the user may edit or delete it while the page loads.
    std::shared_ptr<CardsForBrowserCall> cards =
        CopyCardsForBrowserCall(frame_.ActiveDocument(), frame_.ActiveView(), false);
    if (!cards->selected)
        return;
    auto status = std::make_shared<std::string>();
    BrowserCommands* browser = &browser_->Commands();
    RunBrowserCall(
        "Load Web Page",
        [browser, cards, status] { *status = browser->LoadWebPage(cards->selected); },
        [this, status] {
            if (!status->empty())
                frame_.ShowStatusText(*status);
            pendingLogin_->WatchIfPending();
        });
}

void CFrameBrowserCommands::FillLogin() {
    std::shared_ptr<CardsForBrowserCall> cards =
        CopyCardsForBrowserCall(frame_.ActiveDocument(), frame_.ActiveView(), true);
    const bool haveDocument = frame_.ActiveDocument() != nullptr;
    auto status = std::make_shared<std::string>();
    BrowserCommands* browser = &browser_->Commands();
    RunBrowserCall(
        "Fill Login",
        [browser, cards, haveDocument, status] {
            *status = browser->FillLogin(haveDocument ? &cards->cards : nullptr, cards->selected);
        },
        [this, status] {
            if (!status->empty())
                frame_.ShowStatusText(*status);
            pendingLogin_->WatchIfPending();
        });
}

void CFrameBrowserCommands::GetWebPage() {
    auto page = std::make_shared<WebPageInfo>();
    BrowserCommands* browser = &browser_->Commands();
    RunBrowserCall(
        "Get Web Page", [browser, page] { *page = browser->GetWebPage(); },
        [this, browser, page] {
            // Reading the typed password answers a click in the New Card
            // dialog: it is waited for, with user input held back meanwhile.
            const auto typedPassword = [this, browser] {
                std::string password;
                runner_->RunAndWait(QStringLiteral("Get Web Page"),
                                    [&] { password = browser->TypedPagePassword(); });
                return password;
            };
            NewCardFromWebPage(*page, typedPassword, frame_.ActiveDocument(), frame_.ActiveView(),
                               ui_, profile_);
        });
}

}  // namespace tessaline
