#pragma once
// When the Internet commands can be chosen.

#include "core/commands/command_state.h"

namespace tessaline {

// Whether `command` is one of the Internet and help-page commands decided here.
bool IsBrowserCommand(CommandId command);

// The rule of an Internet command (its record in the command table); false for any
// other command.
bool IsBrowserCommandEnabled(CommandId command, const CommandContext& context);

}  // namespace tessaline
