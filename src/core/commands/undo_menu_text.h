#pragma once
// The texts of Edit > Undo and Edit > Redo: they name what they would undo or redo
// ("&Undo Delete Card "Bank"\tCtrl+Z") while they act on the document's cards, and are
// plain "&Undo" / "&Redo" while a text field has the focus or there is nothing to do.

#include <string>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"

namespace tessaline {

// The menu text of EditUndo or EditRedo in this context; for any other command its
// usual menu text.
std::string UndoRedoMenuText(CommandId command, const CommandContext& context);

}  // namespace tessaline
