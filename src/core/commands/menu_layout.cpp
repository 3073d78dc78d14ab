#include "core/commands/menu_layout.h"

#include <array>

#include "core/commands/command_ids.h"

namespace tessaline {

namespace {

constexpr MenuEntry Cmd(CommandId id) {
    return MenuEntry{MenuEntryKind::Command, id, {}, {}};
}
constexpr MenuEntry kSep{MenuEntryKind::Separator, CommandId::None, {}, {}};
constexpr MenuEntry kRecent{MenuEntryKind::RecentFiles, CommandId::None, {}, {}};
constexpr MenuEntry kWindows{MenuEntryKind::WindowList, CommandId::None, {}, {}};

// While no document is open.
constexpr std::array kBareFile{Cmd(CommandId::FileNew),
                               Cmd(CommandId::FileOpen),
                               kSep,
                               Cmd(CommandId::FileImportCsv),
                               kSep,
                               Cmd(CommandId::FilePrintSetup),
                               kSep,
                               kRecent,
                               kSep,
                               Cmd(CommandId::AppExit)};
constexpr std::array kView{Cmd(CommandId::ViewToolbar), Cmd(CommandId::ViewStatusBar)};
constexpr std::array kBareEdit{Cmd(CommandId::GeneratePassword), kSep, Cmd(CommandId::Preferences)};
constexpr std::array kBareHelp{Cmd(CommandId::AppAbout)};
constexpr std::array kBareMenus{MenuDefinition{"&File", kBareFile},
                                MenuDefinition{"&Edit", kBareEdit}, MenuDefinition{"&View", kView},
                                MenuDefinition{"&Help", kBareHelp}};

// While documents are open.
constexpr std::array kFile{Cmd(CommandId::FileNew),
                           Cmd(CommandId::FileOpen),
                           Cmd(CommandId::FileClose),
                           Cmd(CommandId::FileSave),
                           Cmd(CommandId::FileSaveAs),
                           kSep,
                           Cmd(CommandId::EncryptOnSave),
                           Cmd(CommandId::SetPassword),
                           Cmd(CommandId::FileLock),
                           Cmd(CommandId::FileProperties),
                           kSep,
                           Cmd(CommandId::EmptyRecycleBin),
                           kSep,
                           Cmd(CommandId::FileImportCsv),
                           Cmd(CommandId::ExportToText),
                           kSep,
                           Cmd(CommandId::FilePrint),
                           Cmd(CommandId::PrintPreview),
                           Cmd(CommandId::FilePrintSetup),
                           kSep,
                           kRecent,
                           kSep,
                           Cmd(CommandId::AppExit)};
constexpr std::array kEdit{Cmd(CommandId::EditUndo),
                           Cmd(CommandId::EditRedo),
                           kSep,
                           Cmd(CommandId::EditCopy),
                           Cmd(CommandId::EditPaste),
                           kSep,
                           Cmd(CommandId::CopyPassword),
                           kSep,
                           Cmd(CommandId::GeneratePassword),
                           kSep,
                           Cmd(CommandId::Preferences)};
constexpr std::array kChangeCategory{
    Cmd(CommandId::MoveToWwwSites),      Cmd(CommandId::MoveToWwwForms),
    Cmd(CommandId::MoveToFtpServers),    Cmd(CommandId::MoveToNewsgroups),
    Cmd(CommandId::MoveToLoginAccounts), Cmd(CommandId::MoveToEmailAccounts),
    Cmd(CommandId::MoveToBankAccounts),  Cmd(CommandId::MoveToOnlineBanking),
    Cmd(CommandId::MoveToCreditCards),   Cmd(CommandId::MoveToAtmPinCards),
    Cmd(CommandId::MoveToPersonalData),  Cmd(CommandId::MoveToSoftwareKeys),
    Cmd(CommandId::MoveToSerialNumbers), Cmd(CommandId::MoveToMembershipNumbers),
    Cmd(CommandId::MoveToMiscellaneous)};
constexpr std::array kCard{
    Cmd(CommandId::NewCard),
    Cmd(CommandId::DeleteCard),
    kSep,
    Cmd(CommandId::EditCard),
    kSep,
    Cmd(CommandId::RestoreCard),
    Cmd(CommandId::DeletePermanently),
    kSep,
    Cmd(CommandId::CopyName),
    Cmd(CommandId::CopyUserId),
    Cmd(CommandId::CopyPasswordItem),
    Cmd(CommandId::CopyAddress),
    Cmd(CommandId::CopyNote),
    Cmd(CommandId::CopyOneTimeCode),
    Cmd(CommandId::OpenAddress),
    kSep,
    MenuEntry{MenuEntryKind::SubMenu, CommandId::None, "Change Category", kChangeCategory}};
constexpr std::array kInternet{
    Cmd(CommandId::LaunchWww),   Cmd(CommandId::LaunchEmail), Cmd(CommandId::LaunchLogin),
    Cmd(CommandId::LaunchNews),  Cmd(CommandId::LaunchFtp),   kSep,
    Cmd(CommandId::LoadWebPage), Cmd(CommandId::GetWebPage),  Cmd(CommandId::FillLogin)};
constexpr std::array kTools{Cmd(CommandId::PasswordHealth)};
constexpr std::array kWindow{Cmd(CommandId::WindowArrange), kWindows};
constexpr std::array kHelp{Cmd(CommandId::OnlineDocumentation), Cmd(CommandId::HelpReader),
                           Cmd(CommandId::HomePage), kSep, Cmd(CommandId::AppAbout)};
constexpr std::array kDocumentMenus{
    MenuDefinition{"&File", kFile},     MenuDefinition{"&Edit", kEdit},
    MenuDefinition{"&Card", kCard},     MenuDefinition{"&Internet", kInternet},
    MenuDefinition{"&Tools", kTools},   MenuDefinition{"&View", kView},
    MenuDefinition{"&Window", kWindow}, MenuDefinition{"&Help", kHelp}};

constexpr std::array<CommandId, 22> kToolbar{CommandId::FileNew,
                                             CommandId::FileOpen,
                                             CommandId::FileSave,
                                             CommandId::SetPassword,
                                             CommandId::None,
                                             CommandId::ToolCopyPassword,
                                             CommandId::None,
                                             CommandId::FilePrint,
                                             CommandId::None,
                                             CommandId::ToolLaunchBrowser,
                                             CommandId::None,
                                             CommandId::ToolLoadWebPage,
                                             CommandId::ToolGetWebPage,
                                             CommandId::FillLogin,
                                             CommandId::None,
                                             CommandId::ToolAddCard,
                                             CommandId::None,
                                             CommandId::ToolDeleteCard,
                                             CommandId::ToolUpdateCard,
                                             CommandId::None,
                                             CommandId::OnlineDocumentation,
                                             CommandId::AppAbout};

// Right-click on a card of the list.
constexpr std::array kCardContextMenu{Cmd(CommandId::CopyName),
                                      Cmd(CommandId::CopyUserId),
                                      Cmd(CommandId::CopyPasswordItem),
                                      Cmd(CommandId::CopyAddress),
                                      Cmd(CommandId::CopyNote),
                                      Cmd(CommandId::CopyOneTimeCode),
                                      kSep,
                                      Cmd(CommandId::CopyCard),
                                      Cmd(CommandId::PasteCard),
                                      kSep,
                                      Cmd(CommandId::UsePasswordToOpen)};

// Right-click on a card of the recycle bin's list.
constexpr std::array kRecycledCardContextMenu{Cmd(CommandId::RestoreCard),
                                              Cmd(CommandId::DeletePermanently),
                                              kSep,
                                              Cmd(CommandId::CopyName),
                                              Cmd(CommandId::CopyUserId),
                                              Cmd(CommandId::CopyPasswordItem),
                                              Cmd(CommandId::CopyNote)};

}  // namespace

std::span<const MenuDefinition> MenuBarLayout(bool haveDocument) {
    if (haveDocument)
        return kDocumentMenus;
    return kBareMenus;
}

std::span<const CommandId> ToolbarLayout() {
    return kToolbar;
}

std::span<const MenuEntry> CardContextMenuLayout() {
    return kCardContextMenu;
}

std::span<const MenuEntry> RecycledCardContextMenuLayout() {
    return kRecycledCardContextMenu;
}

}  // namespace tessaline
