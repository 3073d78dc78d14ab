#pragma once
// Which commands can be chosen right now. The window gathers the facts below before a
// menu opens and whenever the selection or a document changes; these rules decide.

#include <array>
#include <string_view>

namespace tessaline {

// The text field that has the keyboard focus, if any.
struct TextFieldState {
    bool focused = false;
    bool readOnly = false;
    bool masked = false;  // a password field: its text never leaves it
    bool canUndo = false;
    bool hasSelectedText = false;
    bool clipboardHasText = false;
};

struct CommandContext {
    bool hasDocument = false;       // an active document
    bool documentHasCards = false;  // it holds at least one card, deleted ones included
    bool hasView = false;           // the active child window has its card list
    bool hasSelectedCard = false;
    bool documentLocked = false;  // the active document is locked: its cards are gone
    int recentFileCount = 0;
    TextFieldState textField;
};

bool IsCommandEnabled(int command, const CommandContext& context);
// Whether a command can still be chosen while the active document is locked: those that
// need none of its cards (files, windows, preferences, the generator, the launchers,
// help, and the edit commands of the password field).
bool IsCommandAllowedWhileLocked(int command);

struct Accelerator {
    std::string_view keys;  // as a key sequence is written: "Ctrl+C", "Alt+Backspace"
    int command;
};
// The one accelerator table of the main window. Accelerators come before menu mnemonics.
extern const std::array<Accelerator, 24> kAcceleratorTable;

}  // namespace tessaline
