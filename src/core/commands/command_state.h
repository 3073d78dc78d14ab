#pragma once
// Which commands can be chosen right now. The window gathers the facts below before a
// menu opens and whenever the selection or a document changes; each command's record in
// the command table names the rule that decides.

#include <string>
#include <string_view>
#include <vector>

#include "core/commands/command_ids.h"

namespace tessaline {

// The text field that has the keyboard focus, if any.
struct TextFieldState {
    bool focused = false;
    bool readOnly = false;
    bool masked = false;  // a password field: its text never leaves it
    bool canUndo = false;
    bool canRedo = false;
    bool hasSelectedText = false;
    bool clipboardHasText = false;
};

struct CommandContext {
    bool hasDocument = false;       // an active document
    bool documentHasCards = false;  // it holds at least one card, deleted ones included
    bool hasView = false;           // the active child window has its card list
    bool hasSelectedCard = false;
    bool documentLocked = false;  // the active document is locked: its cards are gone
    bool anyLockable = false;     // some open document is encrypted, stored and not locked
    bool pasteAvailable = false;  // Copy Card holds a card for Paste Card
    bool cardListFocused = false;  // the active card list has the keys (Ctrl+C copies the password)
    std::string selectorText;     // what the category selector shows ("Show All", ...)
    // What the active document's Undo and Redo would undo or redo ("Delete Card "Bank"");
    // empty when there is nothing.
    std::string undoAction;
    std::string redoAction;
    int recycledCards = 0;  // cards in the active document's recycle bin
    // The selected card has a one-time-code secret.
    bool selectedCardHasOneTimeCode = false;
    int recentFileCount = 0;
    TextFieldState textField;
};

// The command's own rule; false for an id the table does not know.
bool IsCommandEnabled(CommandId command, const CommandContext& context);
// Whether a command can still be chosen while the active document is locked: those that
// need none of its cards (files, windows, preferences, the generator, the launchers,
// help, and the edit commands of the password field).
bool IsCommandAllowedWhileLocked(CommandId command);

struct Accelerator {
    std::string_view keys;  // as a key sequence is written: "Ctrl+C", "Alt+Backspace"
    CommandId command;
};
// The one accelerator table of the main window, gathered from the command records.
// Accelerators come before menu mnemonics.
std::vector<Accelerator> AcceleratorTable();

}  // namespace tessaline
