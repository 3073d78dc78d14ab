#include "core/commands/command_state.h"

#include "core/commands/command_ids.h"

namespace tessaline {

const std::array<Accelerator, 24> kAcceleratorTable{{
    {"Ctrl+C", kCmdEditCopy},     {"Alt+C", kCmdCopyPassword}, {"Ctrl+D", kCmdDeleteCard},
    {"Ctrl+E", kCmdEditCard},     {"Ctrl+F", kCmdEditFind},    {"Alt+G", kCmdGeneratePassword},
    {"Ctrl+N", kCmdNewCard},      {"Alt+N", kCmdFileNew},      {"Ctrl+O", kCmdFileOpen},
    {"Ctrl+P", kCmdFilePrint},    {"Alt+P", kCmdPreferences},  {"Ctrl+S", kCmdFileSave},
    {"Alt+S", kCmdEncryptOnSave}, {"Ctrl+V", kCmdEditPaste},   {"Alt+Backspace", kCmdEditUndo},
    {"Shift+Del", kCmdEditCut},   {"F6", kCmdNextPane},        {"Shift+F6", kCmdPrevPane},
    {"Shift+Ins", kCmdEditPaste}, {"Alt+W", kCmdGetWebPage},   {"Ctrl+X", kCmdEditCut},
    {"Ctrl+Z", kCmdEditUndo},     {"Ctrl+L", kCmdFileLock},    {"Ctrl+Shift+L", kCmdFillLogin},
}};

bool IsCommandAllowedWhileLocked(int command) {
    switch (command) {
        case kCmdFileNew:
        case kCmdFileOpen:
        case kCmdFileClose:
        case kCmdFileLock:
        case kCmdFilePrintSetup:
        case kCmdFileMru1:
        case kCmdFileMru2:
        case kCmdFileMru3:
        case kCmdFileMru4:
        case kCmdAppExit:
        case kCmdEditUndo:
        case kCmdEditCut:
        case kCmdEditCopy:
        case kCmdEditPaste:
        case kCmdGeneratePassword:
        case kCmdPreferences:
        case kCmdLaunchWww:
        case kCmdToolLaunchBrowser:
        case kCmdLaunchEmail:
        case kCmdLaunchLogin:
        case kCmdLaunchNews:
        case kCmdLaunchFtp:
        case kCmdViewToolbar:
        case kCmdViewStatusBar:
        case kCmdWindowArrange:
        case kCmdNextPane:
        case kCmdPrevPane:
        case kCmdOnlineDocumentation:
        case kCmdHelpReader:
        case kCmdHomePage:
        case kCmdAppAbout:
            return true;
        default:
            return false;
    }
}

bool IsCommandEnabled(int command, const CommandContext& c) {
    const TextFieldState& t = c.textField;
    switch (command) {
        case kCmdFileNew:
        case kCmdFileOpen:
        case ID_FILE_IMPORT_CSV:  // into the active document, or a new one
        case kCmdAppExit:
        case kCmdViewToolbar:
        case kCmdViewStatusBar:
            return true;
        case kCmdFileClose:
        case kCmdWindowArrange:
            return c.hasDocument;
        // The document's commands need at least one stored card.
        case kCmdFileSave:
        case kCmdFileSaveAs:
        case kCmdEncryptOnSave:
        case kCmdSetPassword:
        case kCmdEditFind:
            return c.hasDocument && c.documentHasCards;
        // Printer set-up is the application's while no document is open.
        case kCmdFilePrintSetup:
            return !c.hasDocument || c.documentHasCards;
        case kCmdFileMru1:
        case kCmdFileMru2:
        case kCmdFileMru3:
        case kCmdFileMru4:
            return command - kCmdFileMru1 < c.recentFileCount;
        // Undo, Cut, Copy and Paste act on the focused text field.
        case kCmdEditUndo:
            return t.focused && !t.readOnly && t.canUndo;
        case kCmdEditCut:
            return t.focused && !t.readOnly && !t.masked && t.hasSelectedText;
        case kCmdEditCopy:
            return t.focused && !t.masked && t.hasSelectedText;
        case kCmdEditPaste:
            return t.focused && !t.readOnly && t.clipboardHasText;
        default:
            // Commands whose work is not there yet stay greyed.
            return false;
    }
}

}  // namespace tessaline
