#pragma once
// The automation browser: a Chromium-family browser that Tessaline runs on a profile
// folder of its own and drives through the DevTools protocol. No state is kept between
// calls; every call looks for the running browser afresh and reports failure as false.

#include <QString>
#include <string>

#include "core/browser/browser_interfaces.h"

namespace tessaline {

class IProfile;

class CExplorerAutomation : public IBrowserAutomation {
public:
    // profileFolder: where the browser keeps its profile and port file;
    // dde: the last resort of OpenAddressInBrowser.
    CExplorerAutomation(IProfile& profile, QString profileFolder, IDdeBrowser& dde);

    // ~/.local/share/Quillmar/Tessaline/browser-profile (the application's data folder).
    static QString DefaultProfileFolder();

    // How long one call may wait for the browser (a start waits longer).
    void SetTimeout(int timeoutMs) { timeoutMs_ = timeoutMs; }
    void SetStartTimeout(int timeoutMs) { startTimeoutMs_ = timeoutMs; }

    Navigation NavigateRunningExplorer(const std::string& address, bool newWindow) override;
    Navigation NavigateWithLogin(const std::string& address, bool newWindow,
                                 const std::string& userId, const std::string& password) override;
    // A new browser window on the home page: a new browser started from "Explorer File
    // Path" (or the first browser found on PATH when that is empty), or a new window of
    // the one already running on the profile folder.
    Navigation NavigateAndWait(const std::string& address, bool newWindow) override;
    bool StartExplorerAtHome() override;
    bool GetRunningExplorerURL(std::string& address) override;
    bool GetRunningExplorerTitle(std::string& title) override;
    LoginFillReport FillLoginForm(const LoginFillRequest& request) override;
    PageLoginForm ReadLoginForm(bool withPassword) override;
    void OpenAddressInBrowser(const std::string& address);

    // The program StartExplorerAtHome starts.
    QString BrowserProgram() const;

private:
    IProfile& profile_;
    QString profileFolder_;
    IDdeBrowser& dde_;
    int timeoutMs_ = 10000;
    int startTimeoutMs_ = 20000;
};

}  // namespace tessaline
