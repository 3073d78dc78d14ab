#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

constexpr std::array kEditCommands{
    Command(EditUndo, "&Undo", "Undo the last action", Undo)
        .Keys("Ctrl+Z", "Alt+Backspace")
        .WhileLocked(),
    Command(EditRedo, "&Redo", "Redo the last action undone", Redo)
        .Keys("Ctrl+Shift+Z")
        .WhileLocked(),
    Command(EditCut, "Cu&t", "Cut the selection and put it on the Clipboard", Cut)
        .Keys("Ctrl+X", "Shift+Del")
        .WhileLocked(),
    Command(EditCopy, "&Copy", "Copy the selection and put it on the Clipboard", Copy)
        .Keys("Ctrl+C")
        .WhileLocked(),
    Command(EditPaste, "&Paste", "Insert Clipboard contents", Paste)
        .Keys("Ctrl+V", "Shift+Ins")
        .WhileLocked(),
    Command(EditFind, "&Find", "Search the cards", DocumentHasCards).Keys("Ctrl+F"),
    Command(CopyPassword, "Copy Password", "Copy Password to Clipboard", HasView).Keys("Alt+C"),
    Command(ToolCopyPassword, "Copy Password", "Copy Password to Clipboard", HasSelectedCard)
        .Tip("Copy Password")
        .Icon("copy_password"),
    Command(GeneratePassword, "Generate Password...", "Generate a new password", Always)
        .Keys("Alt+G")
        .WhileLocked(),
    Command(Preferences, "Preferences...", "Change the preferences", Always)
        .Keys("Alt+P")
        .WhileLocked(),
    Command(PasswordHealth, "Password &Health...",
            "List the weak, reused, old and expired passwords of the active document",
            DocumentHasCards),
};

}  // namespace

std::span<const CommandInfo> EditCommandTable() {
    return kEditCommands;
}

}  // namespace tessaline
