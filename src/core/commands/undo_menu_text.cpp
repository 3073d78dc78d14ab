#include "core/commands/undo_menu_text.h"

#include "core/commands/command_table.h"

namespace tessaline {

namespace {

// A card's name shown literally in a menu item: every "&" doubled.
std::string Literal(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out.push_back(c);
        if (c == '&')
            out.push_back('&');
    }
    return out;
}

}  // namespace

std::string UndoRedoMenuText(CommandId command, const CommandContext& context) {
    const CommandInfo* info = FindCommand(command);
    if (info == nullptr)
        return {};
    CommandInfo shown = *info;
    const bool undo = command == CommandId::EditUndo;
    if (!undo && command != CommandId::EditRedo)
        return MenuText(shown);
    const std::string& action = undo ? context.undoAction : context.redoAction;
    std::string label(info->label);
    if (!context.textField.focused && !action.empty())
        label += " " + Literal(action);
    shown.label = label;
    return MenuText(shown);
}

}  // namespace tessaline
