#pragma once
// The Internet and help-page commands of the main window: Launch WWW (menu and toolbar),
// E-Mail, Login, News and FTP, Help Reader, Online Documentation, the home page, Load Web
// Page, Get Web Page and Fill Login; and the browser steps of start-up. The browser side is kept
// for the window's lifetime.

#include <QObject>
#include <QString>
#include <memory>

namespace tessaline {

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

    // The browser commands of a window, or nullptr when it has none.
    static CFrameBrowserCommands* Of(CMainFrame& frame);

private:
    // Load Web Page and Get Web Page work on the window's active card list.
    void LoadWebPage();
    void GetWebPage();
    void FillLogin();

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
    std::unique_ptr<BrowserIntegration> browser_;
    // Fills the password page of a two-step login (a child of this object).
    PendingLoginWatcher* pendingLogin_ = nullptr;
};

}  // namespace tessaline
