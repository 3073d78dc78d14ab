#include "gui/browser/explorer_automation.h"

#include <QDir>
#include <QStandardPaths>

#include "core/browser/browser_commands.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "gui/text/text_codec.h"
#include "platform/devtools/devtools_client.h"

namespace tessaline {

CExplorerAutomation::CExplorerAutomation(IProfile& profile, QString profileFolder, IDdeBrowser& dde)
    : profile_(profile), profileFolder_(std::move(profileFolder)), dde_(dde) {}

QString CExplorerAutomation::DefaultProfileFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Quillmar/Tessaline/browser-profile");
}

QString CExplorerAutomation::BrowserProgram() const {
    std::string program = profile_.GetText(prefs::kInternetSection, prefs::kExplorerFilePath, "");
    if (program.empty()) {
        const char* path = std::getenv("PATH");
        program = FindProgramOnPath(kExplorerProgramNames, path ? path : "");
    }
    return QString::fromStdString(program);
}

bool CExplorerAutomation::NavigateRunningExplorer(const std::string& address, bool newWindow) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    const bool navigated = browser.Navigate(DisplayText(address), newWindow);
    // Shown whether or not the navigation was taken.
    browser.Visible();
    return navigated;
}

bool CExplorerAutomation::NavigateWithLogin(const std::string& address, bool newWindow,
                                            const std::string& userId,
                                            const std::string& password) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    const bool navigated = browser.NavigateWithLogin(DisplayText(address), newWindow,
                                                     DisplayText(userId), DisplayText(password));
    browser.Visible();
    return navigated;
}

bool CExplorerAutomation::StartExplorerAtHome() {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    if (browser.FindRunning())
        return browser.OpenHomeWindow() && browser.Visible();
    if (!browser.StartNew(BrowserProgram(), {}, startTimeoutMs_))
        return false;
    browser.Visible();
    return browser.GoHome();
}

bool CExplorerAutomation::GetRunningExplorerURL(std::string& address) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    QString url;
    if (!browser.LocationURL(url))
        return false;
    address = StoredText(url);
    return true;
}

bool CExplorerAutomation::GetRunningExplorerTitle(std::string& title) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    QString name;
    if (!browser.LocationName(name))
        return false;
    title = StoredText(name);
    return true;
}

void CExplorerAutomation::OpenAddressInBrowser(const std::string& address) {
    tessaline::OpenAddressInBrowser(address, *this, dde_);
}

}  // namespace tessaline
