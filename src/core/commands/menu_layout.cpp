#include "core/commands/menu_layout.h"

#include <array>

#include "core/commands/command_ids.h"

namespace tessaline {

namespace {

constexpr MenuEntry Cmd(int id) {
    return MenuEntry{MenuEntryKind::Command, id, {}, {}};
}
constexpr MenuEntry kSep{MenuEntryKind::Separator, 0, {}, {}};
constexpr MenuEntry kRecent{MenuEntryKind::RecentFiles, 0, {}, {}};
constexpr MenuEntry kWindows{MenuEntryKind::WindowList, 0, {}, {}};

// While no document is open.
constexpr std::array kBareFile{Cmd(kCmdFileNew),
                               Cmd(kCmdFileOpen),
                               kSep,
                               Cmd(ID_FILE_IMPORT_CSV),
                               kSep,
                               Cmd(kCmdFilePrintSetup),
                               kSep,
                               kRecent,
                               kSep,
                               Cmd(kCmdAppExit)};
constexpr std::array kView{Cmd(kCmdViewToolbar), Cmd(kCmdViewStatusBar)};
constexpr std::array kBareEdit{Cmd(kCmdGeneratePassword), kSep, Cmd(kCmdPreferences)};
constexpr std::array kBareHelp{Cmd(kCmdAppAbout)};
constexpr std::array kBareMenus{MenuDefinition{"&File", kBareFile},
                                MenuDefinition{"&Edit", kBareEdit}, MenuDefinition{"&View", kView},
                                MenuDefinition{"&Help", kBareHelp}};

// While documents are open.
constexpr std::array kFile{Cmd(kCmdFileNew),
                           Cmd(kCmdFileOpen),
                           Cmd(kCmdFileClose),
                           Cmd(kCmdFileSave),
                           Cmd(kCmdFileSaveAs),
                           kSep,
                           Cmd(kCmdEncryptOnSave),
                           Cmd(kCmdFileLock),
                           kSep,
                           Cmd(ID_FILE_IMPORT_CSV),
                           Cmd(kCmdExportToText),
                           kSep,
                           Cmd(kCmdFilePrint),
                           Cmd(kCmdPrintPreview),
                           Cmd(kCmdFilePrintSetup),
                           kSep,
                           kRecent,
                           kSep,
                           Cmd(kCmdAppExit)};
constexpr std::array kEdit{Cmd(kCmdEditUndo),
                           kSep,
                           Cmd(kCmdEditCopy),
                           Cmd(kCmdEditPaste),
                           kSep,
                           Cmd(kCmdCopyPassword),
                           kSep,
                           Cmd(kCmdGeneratePassword),
                           kSep,
                           Cmd(kCmdPreferences)};
constexpr std::array kChangeCategory{
    Cmd(kCmdMoveToWwwSites),      Cmd(kCmdMoveToWwwForms),          Cmd(kCmdMoveToFtpServers),
    Cmd(kCmdMoveToNewsgroups),    Cmd(kCmdMoveToLoginAccounts),     Cmd(kCmdMoveToEmailAccounts),
    Cmd(kCmdMoveToBankAccounts),  Cmd(kCmdMoveToOnlineBanking),     Cmd(kCmdMoveToCreditCards),
    Cmd(kCmdMoveToAtmPinCards),   Cmd(kCmdMoveToPersonalData),      Cmd(kCmdMoveToSoftwareKeys),
    Cmd(kCmdMoveToSerialNumbers), Cmd(kCmdMoveToMembershipNumbers), Cmd(kCmdMoveToMiscellaneous)};
constexpr std::array kCard{
    Cmd(kCmdNewCard),
    Cmd(kCmdDeleteCard),
    kSep,
    Cmd(kCmdEditCard),
    kSep,
    MenuEntry{MenuEntryKind::SubMenu, 0, "Change Category", kChangeCategory}};
constexpr std::array kInternet{Cmd(kCmdLaunchWww),   Cmd(kCmdLaunchEmail), Cmd(kCmdLaunchLogin),
                               Cmd(kCmdLaunchNews),  Cmd(kCmdLaunchFtp),   kSep,
                               Cmd(kCmdLoadWebPage), Cmd(kCmdGetWebPage),  Cmd(kCmdFillLogin)};
constexpr std::array kWindow{Cmd(kCmdWindowArrange), kWindows};
constexpr std::array kHelp{Cmd(kCmdOnlineDocumentation), Cmd(kCmdHelpReader), Cmd(kCmdHomePage),
                           kSep, Cmd(kCmdAppAbout)};
constexpr std::array kDocumentMenus{
    MenuDefinition{"&File", kFile}, MenuDefinition{"&Edit", kEdit},
    MenuDefinition{"&Card", kCard}, MenuDefinition{"&Internet", kInternet},
    MenuDefinition{"&View", kView}, MenuDefinition{"&Window", kWindow},
    MenuDefinition{"&Help", kHelp}};

constexpr std::array<int, 22> kToolbar{kCmdFileNew,
                                       kCmdFileOpen,
                                       kCmdFileSave,
                                       kCmdSetPassword,
                                       0,
                                       kCmdToolCopyPassword,
                                       0,
                                       kCmdFilePrint,
                                       0,
                                       kCmdToolLaunchBrowser,
                                       0,
                                       kCmdToolLoadWebPage,
                                       kCmdToolGetWebPage,
                                       kCmdFillLogin,
                                       0,
                                       kCmdToolAddCard,
                                       0,
                                       kCmdToolDeleteCard,
                                       kCmdToolUpdateCard,
                                       0,
                                       kCmdOnlineDocumentation,
                                       kCmdAppAbout};

}  // namespace

std::span<const MenuDefinition> MenuBarLayout(bool haveDocument) {
    if (haveDocument)
        return kDocumentMenus;
    return kBareMenus;
}

std::span<const int> ToolbarLayout() {
    return kToolbar;
}

}  // namespace tessaline
