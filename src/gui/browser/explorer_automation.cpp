#include "gui/browser/explorer_automation.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>

#include "core/browser/browser_commands.h"
#include "core/browser/login_origin.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "gui/browser/login_form_scripts.h"
#include "gui/text/text_codec.h"
#include "platform/devtools/devtools_client.h"

namespace tessaline {

namespace {

// The top frame of the tab the browser shows and the frames of the same origin in it,
// on a session of `browser`; empty when there is no page.
struct LoginFrames {
    QString session;
    QString pageUrl;
    std::vector<devtools::PageFrame> frames;
};

LoginFrames FramesOfShownPage(devtools::DevToolsClient& browser) {
    LoginFrames found;
    if (!browser.FindRunning())
        return found;
    const std::optional<devtools::PageTarget> page = browser.LastActivePage();
    if (!page)
        return found;
    const std::optional<QString> session = browser.Attach(page->id);
    if (!session)
        return found;
    const std::vector<devtools::PageFrame> frames = browser.Frames(*session);
    if (frames.empty())
        return found;
    found.session = *session;
    found.pageUrl = frames.front().url;
    for (const devtools::PageFrame& frame : frames)
        // A frame of another origin is another site's page: it never gets the login.
        if (&frame == &frames.front() ||
            SameWebOrigin(frame.url.toStdString(), found.pageUrl.toStdString()))
            found.frames.push_back(frame);
    return found;
}

}  // namespace

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
    LoginFillReport report;
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    const LoginFrames page = FramesOfShownPage(browser);
    if (page.frames.empty())
        return report;
    report.origin = CheckLoginOrigin(request.cardAddress, page.pageUrl.toStdString());
    if (report.origin != LoginOriginCheck::Match) {
        report.status = LoginFillStatus::OriginRefused;
        return report;
    }
    const QJsonArray arguments{DisplayText(request.userId), DisplayText(request.password),
                               request.submit};
    report.status = LoginFillStatus::NoLoginForm;
    for (const devtools::PageFrame& frame : page.frames) {
        const std::optional<QJsonValue> result = browser.CallInIsolatedWorld(
            page.session, frame.id, QString::fromStdString(FillLoginFormScript()), arguments);
        const QJsonObject filled = result ? result->toObject() : QJsonObject();
        if (!filled.value(QLatin1String("found")).toBool())
            continue;
        report.status = filled.value(QLatin1String("submitted")).toBool()
                            ? LoginFillStatus::Submitted
                            : LoginFillStatus::Filled;
        break;
    }
    return report;
}

PageLoginForm CExplorerAutomation::ReadLoginForm(bool withPassword) {
    PageLoginForm form;
    devtools::DevToolsClient browser(profileFolder_, timeoutMs_);
    const LoginFrames page = FramesOfShownPage(browser);
    for (const devtools::PageFrame& frame : page.frames) {
        const std::optional<QJsonValue> result = browser.CallInIsolatedWorld(
            page.session, frame.id, QString::fromStdString(ReadLoginFormScript()),
            QJsonArray{withPassword});
        const QJsonObject read = result ? result->toObject() : QJsonObject();
        if (!read.value(QLatin1String("found")).toBool())
            continue;
        form.found = true;
        form.userId = StoredText(read.value(QLatin1String("user")).toString());
        if (withPassword)
            form.password = StoredText(read.value(QLatin1String("password")).toString());
        break;
    }
    return form;
}

void CExplorerAutomation::OpenAddressInBrowser(const std::string& address) {
    tessaline::OpenAddressInBrowser(address, *this, dde_);
}

}  // namespace tessaline
