#pragma once
// What the browser commands need from outside the core: starting programs, driving the
// automation browser, and the browsers' DDE service.

#include <string>

#include "core/browser/login_origin.h"

namespace tessaline {

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts a command line (program and arguments, split by the usual quoting rules).
    virtual bool StartCommandLine(const std::string& commandLine) = 0;
    // Starts the program with that full file name and no arguments.
    virtual bool StartProgram(const std::string& path) = 0;
};

// A card's login, to be filled into the page the automation browser shows.
struct LoginFillRequest {
    std::string cardAddress;  // the origin rule is checked against it
    std::string userId;
    std::string password;
    bool submit = false;  // submit the form once filled
    // How long to wait for a login form when the page has none yet (a page that builds
    // its form by script after its load).
    int waitForFormMs = 0;
    // Whether a page with a user field and no password field (the first page of a
    // two-step login) gets the user ID alone.
    bool userStep = true;
};

enum class LoginFillStatus {
    NoPage,         // no browser, or no page in it
    OriginRefused,  // the page is not the card's (see `origin`)
    NoLoginForm,    // no visible password field in the page or its same-origin frames
    Filled,
    Submitted,
};

struct LoginFillReport {
    LoginFillStatus status = LoginFillStatus::NoPage;
    LoginOriginCheck origin = LoginOriginCheck::Match;
    // For Filled and Submitted: the page asked for the user name only (the first page of
    // a two-step login), and only the user ID went in.
    bool userOnly = false;
    // For Filled: a sign-up or change-password form; at most its current password went in
    // (`passwordFilled`), never a new one, and it was not submitted.
    bool newPasswordForm = false;
    bool passwordFilled = false;
    // For Filled: the address the form would have been sent to when it was not submitted
    // because that is another site's.
    std::string refusedTarget{};
};

// What the login form of the page holds as the user typed it.
struct PageLoginForm {
    bool found = false;  // the page (or a same-origin frame) has a visible password field
    std::string userId;
    std::string password;  // only when asked for
};

// What came of giving the automation browser an address. True only when it opened it.
struct Navigation {
    enum class Result {
        NoBrowser,     // no automation browser answered: nothing was opened
        Opened,        // the browser took the address (and, where waited for, loaded it)
        Failed,        // the browser could not open or load the address; `error` says why
        LoginRefused,  // the site refused the card's user ID and password
    };
    Result result = Result::NoBrowser;
    std::string error;  // the browser's reason for Failed ("net::ERR_NAME_NOT_RESOLVED")
    explicit operator bool() const { return result == Result::Opened; }
    // Whether the browser shows a page for the address: the page, the site's refusal, or
    // the browser's own error page (a failure with a reason).
    bool Shown() const {
        return result == Result::Opened || result == Result::LoginRefused ||
               (result == Result::Failed && !error.empty());
    }
};

// The automation browser, shaped as the calls made on it. Every other failure is a
// false, and outputs change only on success.
class IBrowserAutomation {
public:
    virtual ~IBrowserAutomation() = default;
    virtual Navigation NavigateRunningExplorer(const std::string& address, bool newWindow) = 0;
    // Opens `address` (which holds no credentials) and answers the site's HTTP
    // authentication challenge for that address's origin with the user ID and password,
    // once: the password never becomes part of an address. A second challenge of that
    // origin (the site refused them) ends as LoginRefused.
    virtual Navigation NavigateWithLogin(const std::string& address, bool newWindow,
                                         const std::string& userId,
                                         const std::string& password) = 0;
    // Opens `address` as NavigateRunningExplorer does and waits until the page has loaded.
    virtual Navigation NavigateAndWait(const std::string& address, bool newWindow) = 0;
    virtual bool StartExplorerAtHome() = 0;
    virtual bool GetRunningExplorerURL(std::string& address) = 0;
    virtual bool GetRunningExplorerTitle(std::string& title) = 0;
    // Fills the login form of the page shown (its top document, else a frame of the
    // same origin) when the origin rule lets the card's address into that page.
    virtual LoginFillReport FillLoginForm(const LoginFillRequest& request) = 0;
    // Reads the login form of the page shown; the password field only with `withPassword`.
    virtual PageLoginForm ReadLoginForm(bool withPassword) = 0;
};

// The browser's DDE service ("IExplore"). Failures leave the outputs empty.
class IDdeBrowser {
public:
    virtual ~IDdeBrowser() = default;
    virtual void OpenURL(const std::string& address, bool newWindow) = 0;
    virtual void GetWindowInfo(std::string& address, std::string& title) = 0;
};

}  // namespace tessaline
