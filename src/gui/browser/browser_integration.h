#pragma once
// Everything the main window needs for its Internet commands, in one object: the
// program launcher, the automation browser on Tessaline's own profile folder, the DDE
// route to the browser, and the commands on top. The window keeps one for its lifetime
// and calls the functions below from its command handlers and start-up steps. The
// commands may run on a browser call's thread (BrowserCallRunner): what they use of the
// settings, the user and the DDE route is then used on the window's thread.

#include <QString>
#include <string>

#include "core/browser/browser_commands.h"
#include "gui/browser/dde_browser_link.h"
#include "gui/browser/explorer_automation.h"
#include "gui/browser/qt_process_launcher.h"
#include "gui/browser/window_thread_forwarding.h"

namespace tessaline {

class CCard;
class IProfile;
class IUserAnswers;

// Shown when DDE cannot be started; the program then ends.
inline constexpr const char* kMsgDdeInitFailed =
    "Tessaline could not start its DDE service and has to close.";

// Start-up: the DDE instance. On failure shows kMsgDdeInitFailed (caption "Error") and
// gives false.
bool StartDde(IUserAnswers& ui);

class BrowserIntegration {
public:
    // profileFolder: where the automation browser keeps its profile (empty: the default).
    BrowserIntegration(IProfile& profile, IUserAnswers& ui, QString profileFolder = {});

    BrowserCommands& Commands() { return commands_; }
    CExplorerAutomation& Automation() { return automation_; }

    // Start-up steps, in this order.
    void LoadApplicationPaths();
    bool DetectWebBrowsers();  // on the first start only; looks on $PATH
    void RunStartupLaunches() { commands_.RunStartupLaunches(); }

    // Commands
    void LaunchWebBrowser() { commands_.LaunchWebBrowser(); }                // 32780, 1005
    void LaunchEmail() { commands_.LaunchEmail(); }                          // 32781
    void LaunchLogin() { commands_.LaunchLogin(); }                          // 32782
    void LaunchNews() { commands_.LaunchNews(); }                            // 32783
    void LaunchFtp() { commands_.LaunchFtp(); }                              // 32826
    void OpenOnlineDocumentation() { commands_.OpenOnlineDocumentation(); }  // 32818
    void LaunchHelpReader() { commands_.LaunchHelpReader(); }                // 32829
    void OpenHomePage() { commands_.OpenHomePage(); }                        // 32777
    std::string LoadWebPage(const CCard* selectedCard) {
        return commands_.LoadWebPage(selectedCard);
    }                                                            // 32819/32822
    WebPageInfo GetWebPage() { return commands_.GetWebPage(); }  // 32820/32821

private:
    IProfile& profile_;
    WindowThreadProfile windowProfile_;
    WindowThreadAnswers windowUi_;
    QtProcessLauncher launcher_;
    DdeBrowserLink dde_;
    WindowThreadDde windowDde_;
    CExplorerAutomation automation_;
    BrowserCommands commands_;
};

}  // namespace tessaline
