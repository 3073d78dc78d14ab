#include "gui/app/frame_browser_commands.h"

#include "core/commands/command_ids.h"
#include "gui/app/main_frame.h"
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
      browser_(std::make_unique<BrowserIntegration>(profile, ui, browserProfileFolder)) {
    setObjectName(QStringLiteral("browserCommands"));
    BrowserCommands* browser = &browser_->Commands();
    CommandRouter& commands = frame_.Commands();
    commands.Bind(CommandId::LaunchWww, browser, &BrowserCommands::LaunchWebBrowser);
    commands.Bind(CommandId::ToolLaunchBrowser, browser, &BrowserCommands::LaunchWebBrowser);
    commands.Bind(CommandId::LaunchEmail, browser, &BrowserCommands::LaunchEmail);
    commands.Bind(CommandId::LaunchLogin, browser, &BrowserCommands::LaunchLogin);
    commands.Bind(CommandId::LaunchNews, browser, &BrowserCommands::LaunchNews);
    commands.Bind(CommandId::LaunchFtp, browser, &BrowserCommands::LaunchFtp);
    commands.Bind(CommandId::HelpReader, browser, &BrowserCommands::LaunchHelpReader);
    commands.Bind(CommandId::OnlineDocumentation, browser,
                  &BrowserCommands::OpenOnlineDocumentation);
    commands.Bind(CommandId::HomePage, browser, &BrowserCommands::OpenHomePage);
    commands.Bind(CommandId::LoadWebPage, this, &CFrameBrowserCommands::LoadWebPage);
    commands.Bind(CommandId::ToolLoadWebPage, this, &CFrameBrowserCommands::LoadWebPage);
    commands.Bind(CommandId::GetWebPage, this, &CFrameBrowserCommands::GetWebPage);
    commands.Bind(CommandId::ToolGetWebPage, this, &CFrameBrowserCommands::GetWebPage);
    commands.Bind(CommandId::FillLogin, this, &CFrameBrowserCommands::FillLogin);
    pendingLogin_ = new PendingLoginWatcher(
        *browser, [this](const std::string& text) { frame_.ShowStatusText(text); }, this);
}

CFrameBrowserCommands::~CFrameBrowserCommands() = default;

CFrameBrowserCommands* CFrameBrowserCommands::Of(CMainFrame& frame) {
    return frame.findChild<CFrameBrowserCommands*>(QString(), Qt::FindDirectChildrenOnly);
}

void CFrameBrowserCommands::LoadWebPage() {
    const std::string status = LoadWebPageOfSelectedCard(browser_->Commands(), frame_.ActiveView());
    if (!status.empty())
        frame_.ShowStatusText(status);
    pendingLogin_->WatchIfPending();
}

void CFrameBrowserCommands::FillLogin() {
    const std::string status =
        FillLoginFromDocument(browser_->Commands(), frame_.ActiveDocument(), frame_.ActiveView());
    if (!status.empty())
        frame_.ShowStatusText(status);
    pendingLogin_->WatchIfPending();
}

void CFrameBrowserCommands::GetWebPage() {
    GetWebPageIntoNewCard(browser_->Commands(), frame_.ActiveDocument(), frame_.ActiveView(), ui_,
                          profile_);
}

}  // namespace tessaline
