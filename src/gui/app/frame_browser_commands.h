#pragma once
// The Internet and help-page commands of the main window: Launch WWW (menu and toolbar),
// E-Mail, Login, News and FTP, Help Reader, Online Documentation, the home page, Load Web
// Page, Get Web Page and Fill Login; and the browser steps of start-up. The browser side is kept
// for the window's lifetime. Every command that calls the automation browser runs on a
// thread of its own (BrowserCallRunner): the status bar says "Waiting for the web
// browser…" and those commands are greyed until it ends or is given up.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/commands/command_ids.h"

namespace tessaline {

class BrowserCallRunner;
class BrowserIntegration;
class CMainFrame;
class IProfile;
class IUserAnswers;
class PendingLoginWatcher;

class CFrameBrowserCommands : public QObject {
    Q_OBJECT
public:
    // browserProfileFolder: where the automation browser keeps its profile (empty: the
    // program's own folder).
    CFrameBrowserCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile,
                          const QString& browserProfileFolder = {});
    ~CFrameBrowserCommands() override;

    // The browsers, and the start-up steps that find and start them.
    BrowserIntegration& Integration() { return *browser_; }
    // Where the browser calls run; its time limit is settable.
    BrowserCallRunner& Runner() { return *runner_; }
    // The start-up launches, with a browser to start among them run as a browser call.
    void RunStartupLaunches();

    // The browser commands of a window, or nullptr when it has none.
    static CFrameBrowserCommands* Of(CMainFrame& frame);

private:
    // Load Web Page and Get Web Page work on the window's active card list.
    void LoadWebPage();
    void GetWebPage();
    void FillLogin();
    // Binds a command that calls the browser: greyed while a call runs.
    void BindBrowserCall(CommandId command, std::function<void()> work);
    // Runs `work` as a browser call named `what`, then `done` on the window's thread.
    void RunBrowserCall(const char* what, std::function<void()> work,
                        std::function<void()> done = {});
    void ShowBusy(bool busy);

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
    std::unique_ptr<BrowserIntegration> browser_;
    // Fills the password page of a two-step login (a child of this object).
    PendingLoginWatcher* pendingLogin_ = nullptr;
    // Ends (giving up a call still running) before the browser side it uses.
    std::unique_ptr<BrowserCallRunner> runner_;
};

}  // namespace tessaline
