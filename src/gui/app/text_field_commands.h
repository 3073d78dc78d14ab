#pragma once
// Undo, Redo, Cut, Copy and Paste act on the text field that has the keyboard focus: a
// line edit (also inside an editable combo box) or a text edit.

#include "core/commands/command_state.h"

class QWidget;

namespace tessaline {

// The text field a widget stands for, or nullptr when it is none (an editable combo box
// stands for its line edit).
QWidget* TextFieldOf(QWidget* widget);

// What the command-state rules need to know of a text field; all false for nullptr.
TextFieldState TextFieldStateOf(QWidget* field);

// Carries out Undo, Redo, Cut, Copy or Paste on the field. False when the command is not one of
// them or the field cannot do it now.
bool RunTextFieldCommand(CommandId command, QWidget* field);

}  // namespace tessaline
