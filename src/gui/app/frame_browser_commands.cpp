#include "gui/app/frame_browser_commands.h"

#include "core/browser/browser_command_state.h"
#include "core/commands/command_ids.h"
#include "gui/app/main_frame.h"
#include "gui/browser/browser_integration.h"
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
    Add(kCmdLaunchWww, &CFrameBrowserCommands::LaunchWebBrowser);
    Add(kCmdToolLaunchBrowser, &CFrameBrowserCommands::LaunchWebBrowser);
    Add(kCmdLaunchEmail, &CFrameBrowserCommands::LaunchEmail);
    Add(kCmdLaunchLogin, &CFrameBrowserCommands::LaunchLogin);
    Add(kCmdLaunchNews, &CFrameBrowserCommands::LaunchNews);
    Add(kCmdLaunchFtp, &CFrameBrowserCommands::LaunchFtp);
    Add(kCmdHelpReader, &CFrameBrowserCommands::LaunchHelpReader);
    Add(kCmdOnlineDocumentation, &CFrameBrowserCommands::OpenOnlineDocumentation);
    Add(kCmdHomePage, &CFrameBrowserCommands::OpenHomePage);
    Add(kCmdLoadWebPage, &CFrameBrowserCommands::LoadWebPage);
    Add(kCmdToolLoadWebPage, &CFrameBrowserCommands::LoadWebPage);
    Add(kCmdGetWebPage, &CFrameBrowserCommands::GetWebPage);
    Add(kCmdToolGetWebPage, &CFrameBrowserCommands::GetWebPage);
    Add(kCmdFillLogin, &CFrameBrowserCommands::FillLogin);
}

CFrameBrowserCommands::~CFrameBrowserCommands() = default;

CFrameBrowserCommands* CFrameBrowserCommands::Of(CMainFrame& frame) {
    return frame.findChild<CFrameBrowserCommands*>(QString(), Qt::FindDirectChildrenOnly);
}

void CFrameBrowserCommands::Add(int command, void (CFrameBrowserCommands::*work)()) {
    frame_.SetCommandHandler(
        command, [this, work] { (this->*work)(); },
        [command](const CommandContext& c) { return IsBrowserCommandEnabled(command, c); });
}

void CFrameBrowserCommands::LoadApplicationPaths() {
    browser_->LoadApplicationPaths();
}

bool CFrameBrowserCommands::DetectWebBrowsers() {
    return browser_->DetectWebBrowsers();
}

void CFrameBrowserCommands::RunStartupLaunches() {
    browser_->RunStartupLaunches();
}

void CFrameBrowserCommands::LaunchWebBrowser() {
    browser_->LaunchWebBrowser();
}

void CFrameBrowserCommands::LaunchEmail() {
    browser_->LaunchEmail();
}

void CFrameBrowserCommands::LaunchLogin() {
    browser_->LaunchLogin();
}

void CFrameBrowserCommands::LaunchNews() {
    browser_->LaunchNews();
}

void CFrameBrowserCommands::LaunchFtp() {
    browser_->LaunchFtp();
}

void CFrameBrowserCommands::LaunchHelpReader() {
    browser_->LaunchHelpReader();
}

void CFrameBrowserCommands::OpenOnlineDocumentation() {
    browser_->OpenOnlineDocumentation();
}

void CFrameBrowserCommands::OpenHomePage() {
    browser_->OpenHomePage();
}

void CFrameBrowserCommands::LoadWebPage() {
    const std::string status = LoadWebPageOfSelectedCard(browser_->Commands(), frame_.ActiveView());
    if (!status.empty())
        frame_.ShowStatusText(status);
}

void CFrameBrowserCommands::FillLogin() {
    const std::string status =
        FillLoginFromDocument(browser_->Commands(), frame_.ActiveDocument(), frame_.ActiveView());
    if (!status.empty())
        frame_.ShowStatusText(status);
}

void CFrameBrowserCommands::GetWebPage() {
    GetWebPageIntoNewCard(browser_->Commands(), frame_.ActiveDocument(), frame_.ActiveView(), ui_,
                          profile_);
}

}  // namespace tessaline
