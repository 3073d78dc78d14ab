#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

constexpr std::array kViewCommands{
    // View
    Command(ViewToolbar, "&Toolbar", "Show or hide the toolbar", Always).WhileLocked(),
    Command(ViewStatusBar, "&Status Bar", "Show or hide the status bar", Always).WhileLocked(),
    // Window
    Command(WindowArrange, "&Arrange Icons", "Arrange icons at the bottom of the window",
            HasDocument)
        .WhileLocked(),
    // The keys move between the category bar and the active card list.
    Command(NextPane, "Next Pane", "Switch to the next window pane", HasView)
        .Keys("F6")
        .WhileLocked(),
    Command(PrevPane, "Previous Pane", "Switch back to the previous window pane", HasView)
        .Keys("Shift+F6")
        .WhileLocked(),
};

}  // namespace

std::span<const CommandInfo> ViewCommandTable() {
    return kViewCommands;
}

}  // namespace tessaline
