#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

constexpr std::array kEditCommands{
    Command(EditUndo, "&Undo\tCtrl+Z", "Undo the last action", Undo)
        .Keys("Alt+Backspace", "Ctrl+Z")
        .WhileLocked(),
    Command(EditCut, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", Cut)
        .Keys("Shift+Del", "Ctrl+X")
        .WhileLocked(),
    Command(EditCopy, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", Copy)
        .Keys("Ctrl+C")
        .WhileLocked(),
    Command(EditPaste, "&Paste\tCtrl+V", "Insert Clipboard contents", Paste)
        .Keys("Ctrl+V", "Shift+Ins")
        .WhileLocked(),
    Command(EditFind, "&Find\tCtrl+F", "Search the cards", DocumentHasCards).Keys("Ctrl+F"),
    Command(CopyPassword, "Copy Password\tAlt+C", "Copy Password to Clipboard", HasView)
        .Keys("Alt+C"),
    Command(ToolCopyPassword, "Copy Password", "Copy Password to Clipboard", HasSelectedCard)
        .Tip("Copy Password")
        .Icon("copy_password"),
    Command(GeneratePassword, "Generate Password...\tAlt+G", "Generate a new password", Always)
        .Keys("Alt+G")
        .WhileLocked(),
    Command(Preferences, "Preferences...\tAlt+P", "Change the preferences", Always)
        .Keys("Alt+P")
        .WhileLocked(),
};

}  // namespace

std::span<const CommandInfo> EditCommandTable() {
    return kEditCommands;
}

}  // namespace tessaline
