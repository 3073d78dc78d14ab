#include "core/browser/browser_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "core/base/secure_wipe.h"
#include "core/browser/card_address.h"
#include "core/browser/login_fill_text.h"
#include "core/browser/login_origin.h"
#include "core/cards/card.h"
#include "core/cards/card_collection.h"
#include "core/platform/profile.h"
#include "core/platform/user_answers.h"
#include "core/prefs/profile_keys.h"

namespace tessaline {

const std::vector<std::string> kExplorerProgramNames = {"chromium", "chromium-browser",
                                                        "google-chrome", "google-chrome-stable"};
const std::vector<std::string> kNetscapeProgramNames = {"firefox", "firefox-esr"};

namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ShowError(IUserAnswers& ui, const char* text) {
    ui.Message(MessageRequest{text, MsgCaption::Error, MsgIcon::Error, MsgButtons::Ok});
}

}  // namespace

std::string FindProgramOnPath(const std::vector<std::string>& names,
                              std::string_view pathVariable) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        std::size_t colon = pathVariable.find(':', start);
        if (colon == std::string_view::npos)
            colon = pathVariable.size();
        std::string folder(pathVariable.substr(start, colon - start));
        // Only absolute folders: a relative entry would depend on the current folder.
        if (!folder.empty() && folder.front() == '/')
            folders.push_back(std::move(folder));
        start = colon + 1;
    }
    for (const std::string& name : names)
        for (const std::string& folder : folders) {
            std::string candidate = folder + (folder.back() == '/' ? "" : "/") + name;
            if (IsExecutableFile(candidate))
                return candidate;
        }
    return {};
}

ApplicationPaths LoadApplicationPaths(const IProfile& profile) {
    auto text = [&](const char* name) {
        return profile.GetText(prefs::kInternetSection, name, "");
    };
    ApplicationPaths p;
    p.netscape = text(prefs::kNetscapeFilePath);
    p.explorer = text(prefs::kExplorerFilePath);
    p.mail = text(prefs::kMailProgFilePath);
    p.news = text(prefs::kNewsProgFilePath);
    p.help = text(prefs::kHelpProgFilePath);
    p.ftp = text(prefs::kFtpFilePath);
    p.telnet = text(prefs::kTelnetFilePath);
    return p;
}

std::string PageNotLoadedText(std::string_view address, std::string_view reason) {
    std::string text = "The web browser could not load " + std::string(address);
    if (!reason.empty())
        text += " (" + std::string(reason) + ")";
    return text + ".";
}

void OpenAddressInBrowser(const std::string& address, IBrowserAutomation& automation,
                          IDdeBrowser& dde) {
    // A page the browser could not load still shows there, as its error page.
    if (automation.NavigateRunningExplorer(address, false).Shown())
        return;
    automation.StartExplorerAtHome();
    if (automation.NavigateRunningExplorer(address, false).Shown())
        return;
    dde.OpenURL(address, false);
}

BrowserCommands::BrowserCommands(IProfile& profile, IUserAnswers& ui, IProcessLauncher& launcher,
                                 IBrowserAutomation& automation, IDdeBrowser& dde)
    : profile_(profile), ui_(ui), launcher_(launcher), automation_(automation), dde_(dde) {}

void BrowserCommands::LaunchWebBrowser() {
    if (profile_.GetInt(prefs::kInternetSection, prefs::kChooseWebBrowser, 1) != 0) {
        if (!automation_.StartExplorerAtHome())
            ShowError(ui_, kMsgCouldNotStartExplorer);
        return;
    }
    if (!launcher_.StartCommandLine(paths_.netscape))
        ShowError(ui_, kMsgCouldNotStartNetscape);
}

void BrowserCommands::LaunchHelperApplication(const std::string& path) {
    // Whether it started is not looked at: a wrong path simply starts nothing.
    (void)launcher_.StartProgram(path);
}

void BrowserCommands::LaunchHelpReader() {
    paths_.help = profile_.GetText(prefs::kInternetSection, prefs::kHelpProgFilePath, "");
    if (paths_.help.empty()) {
        ui_.Message(MessageRequest{kMsgHelpReaderMissing, MsgCaption::Application, MsgIcon::None,
                                   MsgButtons::Ok});
        return;
    }
    LaunchHelperApplication(paths_.help);
}

void BrowserCommands::OpenOnlineDocumentation() {
    OpenAddressInBrowser(kOnlineDocumentationAddress, automation_, dde_);
}

void BrowserCommands::OpenHomePage() {
    OpenAddressInBrowser(kHomePageAddress, automation_, dde_);
}

void BrowserCommands::RunStartupLaunches() {
    auto wanted = [&](const char* name) {
        return profile_.GetInt(prefs::kStartUpSection, name, 0) == 1;
    };
    if (wanted(prefs::kStartMailProgram))
        LaunchHelperApplication(paths_.mail);
    if (wanted(prefs::kLaunchWebBrowser))
        LaunchWebBrowser();
    if (wanted(prefs::kLaunchFtp))
        LaunchHelperApplication(paths_.ftp);
    if (wanted(prefs::kLaunchTelNet))
        LaunchHelperApplication(paths_.telnet);
    if (wanted(prefs::kLaunchNewsReader))
        LaunchHelperApplication(paths_.news);
}

bool BrowserCommands::DetectWebBrowsers(std::string_view pathVariable) {
    paths_.explorer.clear();
    paths_.netscape.clear();
    paths_.help.clear();
    paths_.explorer = FindProgramOnPath(kExplorerProgramNames, pathVariable);
    paths_.netscape = FindProgramOnPath(kNetscapeProgramNames, pathVariable);
    if (paths_.explorer.empty() && paths_.netscape.empty())
        ShowError(ui_, kMsgNoWebBrowsers);
    profile_.WriteText(prefs::kInternetSection, prefs::kExplorerFilePath, paths_.explorer);
    profile_.WriteText(prefs::kInternetSection, prefs::kNetscapeFilePath, paths_.netscape);
    profile_.WriteInt(prefs::kInternetSection, prefs::kChooseWebBrowser, 1);
    return true;
}

std::string BrowserCommands::LoadWebPage(const CCard* card) {
    if (!card || card->Address().empty())
        return {};
    const bool newWindow = card->NewBrowserWindow();
    const bool automaticLogin = UsesAutomaticLogin(*card);
    const bool hasLogin = !card->UserId().empty() || !card->Password().empty();
    const std::string address = WebAddressToOpen(card->Address());
    if (!IsWebPageAddress(address))
        return kStatusNotWebAddress;
    pending_.Clear();
    // The automation browser logs in through its protocol, so the password never enters
    // an address (nor the browser's history); a card with a login waits for its page, to
    // fill the page's login form.
    const Navigation navigation =
        automaticLogin
            ? automation_.NavigateWithLogin(address, newWindow, card->UserId(), card->Password())
        : hasLogin ? automation_.NavigateAndWait(address, newWindow)
                   : automation_.NavigateRunningExplorer(address, newWindow);
    switch (navigation.result) {
        case Navigation::Result::NoBrowser:
            // DDE knows only the composed address.
            dde_.OpenURL(ComposeCardAddress(*card), newWindow);
            return {};
        case Navigation::Result::Failed:
            return PageNotLoadedText(address, navigation.error);
        case Navigation::Result::LoginRefused:
            return kStatusLoginRefused;
        case Navigation::Result::Opened:
            break;
    }
    return automaticLogin || hasLogin ? FillCard(*card, kWaitForFormMs) : std::string();
}

std::string BrowserCommands::TypedPagePassword() {
    return automation_.ReadLoginForm(true).password;
}

std::string BrowserCommands::FillCard(const CCard& card, int waitForFormMs) {
    LoginFillRequest request{
        card.Address(), card.UserId(), card.Password(),
        card.AutomaticAccess() && profile_.GetInt(prefs::kGeneralSection, prefs::kSubmitLoginForms,
                                                  prefs::kSubmitLoginFormsDefault) == 1};
    request.waitForFormMs = waitForFormMs;
    pending_.Clear();
    const LoginFillReport report = automation_.FillLoginForm(request);
    if (report.userOnly &&
        (report.status == LoginFillStatus::Filled || report.status == LoginFillStatus::Submitted))
        pending_.Start(request, NowMs());
    SecureWipe(request.password);
    return LoginFillStatusText(report);
}

bool BrowserCommands::LoginPending() const {
    return pending_.Waiting(NowMs());
}

std::string BrowserCommands::FillPendingLogin() {
    std::string page;
    if (!pending_.Waiting(NowMs()) || !automation_.GetRunningExplorerURL(page))
        return {};
    const LoginFillRequest* request = pending_.ForPage(page, NowMs());
    if (!request)
        return {};
    const LoginFillReport report = automation_.FillLoginForm(*request);
    if (report.status != LoginFillStatus::Filled && report.status != LoginFillStatus::Submitted)
        return {};
    pending_.Clear();
    return LoginFillStatusText(report);
}

std::string BrowserCommands::FillLogin(const CCardCollection* cards, const CCard* selected) {
    std::string page;
    if (!automation_.GetRunningExplorerURL(page))
        return kStatusNoBrowserPage;
    if (selected && CheckLoginOrigin(selected->Address(), page) == LoginOriginCheck::Match)
        return FillCard(*selected, 0);
    const std::vector<CCard*> matching = cards ? CardsForPage(*cards, page) : std::vector<CCard*>{};
    if (matching.empty())
        return kStatusNoCardForPage;
    if (matching.size() == 1)
        return FillCard(*matching.front(), 0);
    std::vector<std::string> entries;
    for (const CCard* card : matching)
        entries.push_back(card->UserId().empty() ? card->Name()
                                                 : card->Name() + " (" + card->UserId() + ")");
    const std::optional<std::size_t> chosen =
        ui_.ChooseFromList(kFillLoginCaption, kFillLoginPrompt, entries);
    if (!chosen || *chosen >= matching.size())
        return {};
    return FillCard(*matching[*chosen], 0);
}

WebPageInfo BrowserCommands::GetWebPage() {
    WebPageInfo page;
    const bool haveAddress = automation_.GetRunningExplorerURL(page.address);
    const bool haveTitle = automation_.GetRunningExplorerTitle(page.title);
    if (!haveAddress || !haveTitle) {
        page = WebPageInfo{};
        dde_.GetWindowInfo(page.address, page.title);
    } else {
        const PageLoginForm form = automation_.ReadLoginForm(false);
        page.hasLoginForm = form.found;
        page.typedUserId = form.userId;
    }
    // The browser reports an address opened with Automatic Access with the user ID and
    // password in it; they never go into a card's (unmasked) address.
    page.address = StripUserInfo(page.address);
    return page;
}

}  // namespace tessaline
