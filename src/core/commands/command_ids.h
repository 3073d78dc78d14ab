#pragma once
// Every command of the program by its number. Menu entries, toolbar buttons and
// accelerators all name their command by one of these.

namespace tessaline {

enum CommandId : int {
    // File
    kCmdFileNew = 57600,
    kCmdFileOpen = 57601,
    kCmdFileClose = 57602,
    kCmdFileSave = 57603,
    kCmdFileSaveAs = 57604,
    kCmdFilePrintSetup = 57606,
    kCmdFilePrint = 57607,
    kCmdFileMru1 = 57616,  // and the three after it
    kCmdFileMru2 = 57617,
    kCmdFileMru3 = 57618,
    kCmdFileMru4 = 57619,
    kCmdEncryptOnSave = 32828,
    kCmdSetPassword = 1013,
    kCmdExportToText = 32823,
    kCmdPrintPreview = 32804,
    kCmdAppExit = 57665,
    // Locks every encrypted document (its cards leave memory until its password is typed).
    kCmdFileLock = 32840,
    // File > Import...: the CSV export of another password manager into the open document
    // (or a new one). The welcome panel starts it too, by this name.
    ID_FILE_IMPORT_CSV = 32842,
    // Edit
    kCmdEditUndo = 57643,
    kCmdEditCut = 57635,
    kCmdEditCopy = 57634,
    kCmdEditPaste = 57637,
    kCmdEditFind = 57636,
    kCmdCopyPassword = 32811,
    kCmdToolCopyPassword = 32830,
    kCmdGeneratePassword = 32810,
    kCmdPreferences = 32827,
    // Card
    kCmdNewCard = 32808,
    kCmdDeleteCard = 32809,
    kCmdEditCard = 32814,
    kCmdToolAddCard = 1009,
    kCmdToolDeleteCard = 1010,
    kCmdToolUpdateCard = 32794,
    kCmdMoveToWwwSites = 32774,
    kCmdMoveToWwwForms = 32773,
    kCmdMoveToFtpServers = 32775,
    kCmdMoveToNewsgroups = 32776,
    kCmdMoveToLoginAccounts = 32778,
    kCmdMoveToEmailAccounts = 32779,
    kCmdMoveToBankAccounts = 32784,
    kCmdMoveToOnlineBanking = 32785,
    kCmdMoveToCreditCards = 32786,
    kCmdMoveToAtmPinCards = 32787,
    kCmdMoveToPersonalData = 32788,
    kCmdMoveToSoftwareKeys = 32789,
    kCmdMoveToSerialNumbers = 32790,
    kCmdMoveToMembershipNumbers = 32791,
    kCmdMoveToMiscellaneous = 32792,
    // Internet
    kCmdLaunchWww = 32780,
    kCmdToolLaunchBrowser = 1005,
    kCmdLaunchEmail = 32781,
    kCmdLaunchLogin = 32782,
    kCmdLaunchNews = 32783,
    kCmdLaunchFtp = 32826,
    kCmdLoadWebPage = 32819,
    kCmdToolLoadWebPage = 32822,
    kCmdGetWebPage = 32820,
    kCmdToolGetWebPage = 32821,
    // Fills the login of the matching card into the page the automation browser shows
    // (menu, toolbar and Ctrl+Shift+L).
    kCmdFillLogin = 32844,
    // View
    kCmdViewToolbar = 59392,
    kCmdViewStatusBar = 59393,
    // Window
    kCmdWindowArrange = 57649,
    kCmdNextPane = 57680,
    kCmdPrevPane = 57681,
    // Help
    kCmdOnlineDocumentation = 32818,
    kCmdHelpReader = 32829,
    kCmdHomePage = 32777,
    kCmdAppAbout = 57664,
};

// Ids of the category bar's controls and of the status bar's item-count pane.
inline constexpr int kCategorySelectorId = 1000;
inline constexpr int kSearchBoxId = 1028;
inline constexpr int kSearchButtonId = 1030;
inline constexpr int kCategoryBarId = 103;
inline constexpr int kItemCountPaneId = 123;

inline constexpr int kRecentFileCount = 4;

}  // namespace tessaline
