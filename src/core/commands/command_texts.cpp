#include "core/commands/command_texts.h"

#include <array>

#include "core/commands/command_ids.h"

namespace tessaline {

namespace {

constexpr std::array kTexts{
    // File
    CommandText{kCmdFileNew, "&New\tAlt+N", "Create a new document", "New"},
    CommandText{kCmdFileOpen, "&Open...\tCtrl+O", "Open an existing document", "Open"},
    CommandText{kCmdFileClose, "&Close", "Close the active document", ""},
    CommandText{kCmdFileSave, "&Save\tCtrl+S", "Save the active document", "Save"},
    CommandText{kCmdFileSaveAs, "Save &As...", "Save the active document with a new name", ""},
    CommandText{kCmdEncryptOnSave, "Encrypt On &Save...\tAlt+S",
                "Set the password for File Encryption", ""},
    CommandText{kCmdSetPassword, "Set Password", "Set the password for File Encryption",
                "Set Password"},
    CommandText{kCmdExportToText, "Export To Text...", "Export all cards to a text file", ""},
    CommandText{ID_FILE_IMPORT_CSV, "&Import...",
                "Add the cards of another password manager's CSV export", ""},
    CommandText{kCmdFilePrint, "&Print...\tCtrl+P", "Print the active document", "Print"},
    CommandText{kCmdPrintPreview, "Print Pre&view", "Display full pages", ""},
    CommandText{kCmdFilePrintSetup, "P&rint Setup...", "Change the printer and printing options",
                ""},
    CommandText{kCmdAppExit, "E&xit", "Quit the application; prompts to save documents", ""},
    CommandText{kCmdFileLock, "&Lock\tCtrl+L",
                "Lock the encrypted files until their password is typed", ""},
    // Edit
    CommandText{kCmdEditUndo, "&Undo\tCtrl+Z", "Undo the last action", ""},
    CommandText{kCmdEditCut, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", ""},
    CommandText{kCmdEditCopy, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard",
                ""},
    CommandText{kCmdEditPaste, "&Paste\tCtrl+V", "Insert Clipboard contents", ""},
    CommandText{kCmdEditFind, "&Find\tCtrl+F", "Search the cards", ""},
    CommandText{kCmdCopyPassword, "Copy Password\tAlt+C", "Copy Password to Clipboard", ""},
    CommandText{kCmdToolCopyPassword, "Copy Password", "Copy Password to Clipboard",
                "Copy Password"},
    CommandText{kCmdGeneratePassword, "Generate Password...\tAlt+G", "Generate a new password", ""},
    CommandText{kCmdPreferences, "Preferences...\tAlt+P", "Change the preferences", ""},
    // Card
    CommandText{kCmdNewCard, "&New Card\tCtrl+N", "Add a New Card To a Category", ""},
    CommandText{kCmdDeleteCard, "&Delete Card\tCtrl+D", "Delete a Card From a Category", ""},
    CommandText{kCmdEditCard, "&Edit Card\tCtrl+E", "Update a Card", ""},
    CommandText{kCmdToolAddCard, "Add Card", "Add a New Card To a Category", "Add Card"},
    CommandText{kCmdToolDeleteCard, "Delete Card", "Delete a Card From a Category", "Delete Card"},
    CommandText{kCmdToolUpdateCard, "Update Card", "Update a Card", "Update Card"},
    CommandText{kCmdMoveToWwwSites, "WWW Sites", "Move the card to WWW Sites", ""},
    CommandText{kCmdMoveToWwwForms, "WWW Forms", "Move the card to WWW Forms", ""},
    CommandText{kCmdMoveToFtpServers, "FTP Servers", "Move the card to FTP Servers", ""},
    CommandText{kCmdMoveToNewsgroups, "NewsGroups", "Move the card to Newsgroups", ""},
    CommandText{kCmdMoveToLoginAccounts, "Login Accounts", "Move the card to Login Accounts", ""},
    CommandText{kCmdMoveToEmailAccounts, "EMail Accounts", "Move the card to Email Accounts", ""},
    CommandText{kCmdMoveToBankAccounts, "Bank Accounts", "Move the card to Bank Accounts", ""},
    CommandText{kCmdMoveToOnlineBanking, "Online Banking", "Move the card to Online Banking", ""},
    CommandText{kCmdMoveToCreditCards, "Credit Cards", "Move the card to Credit Cards", ""},
    CommandText{kCmdMoveToAtmPinCards, "ATM/PIN Cards", "Move the card to ATM/PIN Cards", ""},
    CommandText{kCmdMoveToPersonalData, "Personal Data", "Move the card to Personal Data", ""},
    CommandText{kCmdMoveToSoftwareKeys, "Software Keys", "Move the card to Software Keys", ""},
    CommandText{kCmdMoveToSerialNumbers, "Serial Numbers", "Move the card to Serial Numbers", ""},
    CommandText{kCmdMoveToMembershipNumbers, "Membership Numbers",
                "Move the card to Membership Numbers", ""},
    CommandText{kCmdMoveToMiscellaneous, "Miscellaneous", "Move the card to Miscellaneous", ""},
    // Internet
    CommandText{kCmdLaunchWww, "Launch WWW", "Start the web browser", ""},
    CommandText{kCmdToolLaunchBrowser, "Launch web browser", "", "Launch web browser"},
    CommandText{kCmdLaunchEmail, "Launch E-Mail", "Start the e-mail program", ""},
    CommandText{kCmdLaunchLogin, "Launch Login", "Start the login program", ""},
    CommandText{kCmdLaunchNews, "Launch News", "Start the news reader", ""},
    CommandText{kCmdLaunchFtp, "Launch FTP", "Start the FTP program", ""},
    CommandText{kCmdLoadWebPage, "Load Web Page", "Load Web page into Browser", ""},
    CommandText{kCmdToolLoadWebPage, "Load Web Page", "Load Web page into Browser",
                "Load Web Page"},
    CommandText{kCmdGetWebPage, "Get Web Page\tAlt+W", "Get Web page from Browser", ""},
    CommandText{kCmdToolGetWebPage, "Get Web Page", "Get Web page from Browser", "Get Web Page"},
    CommandText{kCmdFillLogin, "Fill Login\tCtrl+Shift+L",
                "Fill the login of the matching card into the Browser's page", "Fill Login"},
    // View
    CommandText{kCmdViewToolbar, "&Toolbar", "Show or hide the toolbar", ""},
    CommandText{kCmdViewStatusBar, "&Status Bar", "Show or hide the status bar", ""},
    // Window
    CommandText{kCmdWindowArrange, "&Arrange Icons", "Arrange icons at the bottom of the window",
                ""},
    CommandText{kCmdNextPane, "Next Pane\tF6", "Switch to the next window pane", ""},
    CommandText{kCmdPrevPane, "Previous Pane\tShift+F6", "Switch back to the previous window pane",
                ""},
    // Help
    CommandText{kCmdOnlineDocumentation, "Online Documentation", "Read Help File", "Read Help"},
    CommandText{kCmdHelpReader, "Help Reader", "Start the help reader", ""},
    CommandText{kCmdHomePage, "Tessaline Home Page", "Visit the Tessaline home page", ""},
    CommandText{kCmdAppAbout, "&About Tessaline...",
                "Display program information, version number and copyright", "About"},
};

}  // namespace

std::span<const CommandText> AllCommandTexts() {
    return kTexts;
}

const CommandText* FindCommandText(int command) {
    for (const CommandText& t : kTexts) {
        if (t.command == command)
            return &t;
    }
    return nullptr;
}

}  // namespace tessaline
