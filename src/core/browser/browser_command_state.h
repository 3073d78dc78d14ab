#pragma once
// When the Internet commands can be chosen.

#include "core/commands/command_state.h"

namespace tessaline {

// Whether `command` is one of the Internet and help-page commands decided here.
bool IsBrowserCommand(int command);

// Launchers, the menu's Load/Get Web Page and the help pages are always enabled; the
// toolbar's Load Web Page needs a card list with a selected card, its Get Web Page a
// card list, and so does Fill Login (menu, toolbar and keys alike).
bool IsBrowserCommandEnabled(int command, const CommandContext& context);

}  // namespace tessaline
