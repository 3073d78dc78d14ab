#pragma once
// The Internet commands of the main window: starting the web browser and the helper
// programs, start-up launches, the first-start browser detection, Load Web Page and
// Get Web Page. The window calls these; everything outside the core comes in through
// the interfaces.

#include <string>
#include <string_view>
#include <vector>

#include "core/browser/browser_interfaces.h"
#include "core/browser/pending_login.h"
#include "core/browser/program_pages.h"

namespace tessaline {

class CCard;
class CCardCollection;
class IProfile;
class IUserAnswers;

// Value names of the settings these commands read and write.
namespace prefs {
// Section "Internet Preferences"
inline constexpr const char* kNetscapeFilePath = "Netscape File Path";
inline constexpr const char* kExplorerFilePath = "Explorer File Path";
inline constexpr const char* kMailProgFilePath = "MailProg File Path";
inline constexpr const char* kNewsProgFilePath = "NewsProg File Path";
inline constexpr const char* kHelpProgFilePath = "HelpProg File Path";
inline constexpr const char* kFtpFilePath = "FTP File Path";
inline constexpr const char* kTelnetFilePath = "Telnet File Path";
inline constexpr const char* kChooseWebBrowser = "Choose Web Browser";  // int, default 1
// Section "Start Up Preferences", each int default 0; only 1 starts the program.
inline constexpr const char* kStartMailProgram = "Print Notes";
inline constexpr const char* kLaunchWebBrowser = "Launch Web Browser";
inline constexpr const char* kLaunchFtp = "Launch FTP";
inline constexpr const char* kLaunchTelNet = "Launch Tel Net";
inline constexpr const char* kLaunchNewsReader = "Launch News Reader";
}  // namespace prefs

// Messages
inline constexpr const char* kMsgCouldNotStartExplorer = "Could not start Internet Explorer";
inline constexpr const char* kMsgCouldNotStartNetscape =
    "Could not start Netscape Navigator,application not found,please install.";
inline constexpr const char* kMsgHelpReaderMissing =
    "Acrobat Help Reader not installed, or path not set, go to preferences - path settings.";
inline constexpr const char* kMsgNoWebBrowsers = "No Web Browsers are installed, please do so.";

// What filling a login tells in the status bar (the origin rule's refusals are
// LoginOriginRefusalText's).
inline constexpr const char* kStatusLoginFilled = "Login form filled.";
inline constexpr const char* kStatusLoginSubmitted = "Login form filled and submitted.";
inline constexpr const char* kStatusNoLoginForm = "No login form found on this page.";
inline constexpr const char* kStatusNoBrowserPage = "The web browser shows no page.";
inline constexpr const char* kStatusNoCardForPage = "No card matches the address of this page.";
inline constexpr const char* kStatusLoginRefused =
    "The web site refused the login: check the card's user ID and password.";

// The status bar's text when the automation browser could not open or load `address`,
// with the browser's reason when it gave one.
std::string PageNotLoadedText(std::string_view address, std::string_view reason);
// The list Fill Login offers when several cards match the page.
inline constexpr const char* kFillLoginCaption = "Fill Login";
inline constexpr const char* kFillLoginPrompt = "Several cards match this page. Fill in:";

// The program names looked for on PATH, in order, for the two browser roles.
extern const std::vector<std::string> kExplorerProgramNames;
extern const std::vector<std::string> kNetscapeProgramNames;

// The full file name of the first of `names` that is an executable file in one of the
// folders of `pathVariable` (":"-separated, as $PATH), or "" when none is.
std::string FindProgramOnPath(const std::vector<std::string>& names, std::string_view pathVariable);

// The paths the main window copies from the settings once at start-up.
struct ApplicationPaths {
    std::string netscape, explorer, mail, news, help, ftp, telnet;
};
ApplicationPaths LoadApplicationPaths(const IProfile& profile);

// The address and title of the page the browser shows, for a new card.
struct WebPageInfo {
    std::string address;
    std::string title;
    // Through the automation browser: whether the page (or a same-origin frame) has a
    // login form, and the user ID typed into it. Never its password.
    bool hasLoginForm = false;
    std::string typedUserId;
};

// Tries the running browser, then a new browser started at its home page and the
// running one again, then the DDE service.
void OpenAddressInBrowser(const std::string& address, IBrowserAutomation& automation,
                          IDdeBrowser& dde);

class BrowserCommands {
public:
    BrowserCommands(IProfile& profile, IUserAnswers& ui, IProcessLauncher& launcher,
                    IBrowserAutomation& automation, IDdeBrowser& dde);

    // The start-up copies of the paths (LoadApplicationPaths at start-up).
    void SetPaths(const ApplicationPaths& paths) { paths_ = paths; }
    const ApplicationPaths& Paths() const { return paths_; }

    void LaunchWebBrowser();  // "Launch WWW" and button 1005
    void LaunchHelperApplication(const std::string& path);
    void LaunchEmail() { LaunchHelperApplication(paths_.mail); }
    void LaunchLogin() { LaunchHelperApplication(paths_.telnet); }
    void LaunchNews() { LaunchHelperApplication(paths_.news); }
    void LaunchFtp() { LaunchHelperApplication(paths_.ftp); }
    void LaunchHelpReader();
    void OpenOnlineDocumentation();
    void OpenHomePage();
    void RunStartupLaunches();
    // Looks for the two browsers on PATH (`pathVariable`), stores what it found and
    // browser choice 1; true once done. Shows a message when neither is there.
    bool DetectWebBrowsers(std::string_view pathVariable);

    // Opens the card's address (none, or an empty address: nothing happens; an address of
    // another scheme than http or https is refused with kStatusNotWebAddress). Through the
    // automation browser a card with a user ID or password then has them filled into the
    // page's login form; what came of that is given as a status-bar text ("" when
    // nothing was filled), as is an address the browser could not load and a site that
    // refused the card's HTTP login.
    std::string LoadWebPage(const CCard* card);
    // Fill Login: fills a card's login into the page the automation browser shows. The
    // selected card, when its address matches the page; otherwise the one card of
    // `cards` that matches, or the one the user picks when several do. Gives the
    // status-bar text ("" when the user cancelled the choice).
    std::string FillLogin(const CCardCollection* cards, const CCard* selected);
    // The page the browser shows, its address without user ID and password; empty texts
    // where nothing answers.
    WebPageInfo GetWebPage();
    // The password typed into the login form of the page shown ("" when there is none):
    // read only when the user asks for it in the New Card dialog.
    std::string TypedPagePassword();

    // How long Load Web Page waits, after the page's load, for a login form that the
    // page's scripts add.
    static constexpr int kWaitForFormMs = 5000;
    // Whether a two-step login waits for its password page (the user ID went into a
    // user-name page less than a minute ago).
    bool LoginPending() const;
    // Fills the waiting two-step login into the page the browser shows now, when that
    // page is on the card's site and has a password field. The status-bar text, or ""
    // while it still waits (or when nothing waits).
    std::string FillPendingLogin();

private:
    // Fills the card into the page shown, waiting up to `waitForFormMs` for its login
    // form; the status-bar text.
    std::string FillCard(const CCard& card, int waitForFormMs);

    IProfile& profile_;
    IUserAnswers& ui_;
    IProcessLauncher& launcher_;
    IBrowserAutomation& automation_;
    IDdeBrowser& dde_;
    ApplicationPaths paths_;
    PendingLogin pending_;
};

}  // namespace tessaline
