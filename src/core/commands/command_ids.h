#pragma once
// Every command of the program by its number. Menu entries, toolbar buttons, accelerators
// and the card list's context menu all name their command by one of these; what each
// command is called and when it can be chosen is its record in command_table.h.

#include <iosfwd>

namespace tessaline {

enum class CommandId : int {
    None = 0,  // no command: a separator, an unknown key
    // File
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FileMru1 = 57616,  // and the three after it
    FileMru2 = 57617,
    FileMru3 = 57618,
    FileMru4 = 57619,
    EncryptOnSave = 32828,
    SetPassword = 1013,
    ExportToText = 32823,
    PrintPreview = 32804,
    AppExit = 57665,
    // Locks every encrypted document (its cards leave memory until its password is typed).
    FileLock = 32840,
    // File > Import...: the CSV export of another password manager into the open document
    // (or a new one). The welcome panel starts it too.
    FileImportCsv = 32842,
    // File > Properties...: the settings kept in the data file (versions kept per card).
    FileProperties = 32863,
    // File > Empty Recycle Bin...: every card in the bin is deleted for good.
    EmptyRecycleBin = 32862,
    // Edit
    EditUndo = 57643,
    EditRedo = 57644,
    EditCut = 57635,
    EditCopy = 57634,
    EditPaste = 57637,
    EditFind = 57636,
    CopyPassword = 32811,
    ToolCopyPassword = 32830,
    GeneratePassword = 32810,
    Preferences = 32827,
    // Tools > Password Health...: the cards whose passwords need attention.
    PasswordHealth = 32871,
    // Card
    NewCard = 32808,
    DeleteCard = 32809,
    EditCard = 32814,
    ToolAddCard = 1009,
    ToolDeleteCard = 1010,
    ToolUpdateCard = 32794,
    // The recycle bin: a card back to its category, or gone for good.
    RestoreCard = 32860,
    DeletePermanently = 32861,
    MoveToWwwSites = 32774,
    MoveToWwwForms = 32773,
    MoveToFtpServers = 32775,
    MoveToNewsgroups = 32776,
    MoveToLoginAccounts = 32778,
    MoveToEmailAccounts = 32779,
    MoveToBankAccounts = 32784,
    MoveToOnlineBanking = 32785,
    MoveToCreditCards = 32786,
    MoveToAtmPinCards = 32787,
    MoveToPersonalData = 32788,
    MoveToSoftwareKeys = 32789,
    MoveToSerialNumbers = 32790,
    MoveToMembershipNumbers = 32791,
    MoveToMiscellaneous = 32792,
    // Internet
    LaunchWww = 32780,
    ToolLaunchBrowser = 1005,
    LaunchEmail = 32781,
    LaunchLogin = 32782,
    LaunchNews = 32783,
    LaunchFtp = 32826,
    LoadWebPage = 32819,
    ToolLoadWebPage = 32822,
    GetWebPage = 32820,
    ToolGetWebPage = 32821,
    // Fills the login of the matching card into the page the automation browser shows.
    FillLogin = 32844,
    // View
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    // Window
    WindowArrange = 57649,
    NextPane = 57680,
    PrevPane = 57681,
    // Help
    OnlineDocumentation = 32818,
    HelpReader = 32829,
    HomePage = 32777,
    AppAbout = 57664,
    // The card list's context menu
    CopyName = 143,
    CopyUserId = 147,
    CopyPasswordItem = 144,
    CopyNote = 145,
    CopyCard = 146,
    PasteCard = 154,
    UsePasswordToOpen = 158,
    // Card > Copy One-Time Code: the selected card's current one-time code, as a secret.
    CopyOneTimeCode = 32864,
    // Card > Copy Address (the card's address to the clipboard) and Open Address (the
    // address in the desktop's web browser).
    CopyAddress = 32865,
    OpenAddress = 32866,
};

// The number a command is stored and shown by.
constexpr int ToInt(CommandId id) {
    return static_cast<int>(id);
}
// Prints the number (test traces, logs).
std::ostream& operator<<(std::ostream& out, CommandId id);

inline constexpr int kRecentFileCount = 4;

// The recent-file entry at index (0 to kRecentFileCount - 1).
constexpr CommandId RecentFileCommand(int index) {
    return static_cast<CommandId>(ToInt(CommandId::FileMru1) + index);
}

}  // namespace tessaline
