#include "gui/browser/explorer_automation.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>

#include "core/browser/browser_commands.h"
#include "core/browser/login_origin.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "gui/browser/login_form_filler.h"
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

Navigation CExplorerAutomation::NavigateRunningExplorer(const std::string& address,
                                                        bool newWindow) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    Navigation navigated = browser.Navigate(DisplayText(address), newWindow);
    // Shown whether or not the navigation was taken.
    browser.Visible();
    return navigated;
}

Navigation CExplorerAutomation::NavigateWithLogin(const std::string& address, bool newWindow,
                                                  const std::string& userId,
                                                  const std::string& password) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    Navigation navigated = browser.NavigateWithLogin(DisplayText(address), newWindow,
                                                     DisplayText(userId), DisplayText(password));
    browser.Visible();
    return navigated;
}

Navigation CExplorerAutomation::NavigateAndWait(const std::string& address, bool newWindow) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    Navigation navigated = browser.NavigateAndWait(DisplayText(address), newWindow);
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

LoginFillReport CExplorerAutomation::FillLoginForm(const LoginFillRequest& request) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    return FillLoginInShownPage(browser, request);
}

PageLoginForm CExplorerAutomation::ReadLoginForm(bool withPassword) {
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    return ReadLoginInShownPage(browser, withPassword);
}

void CExplorerAutomation::OpenAddressInBrowser(const std::string& address) {
    tessaline::OpenAddressInBrowser(address, *this, dde_);
}

}  // namespace tessaline
