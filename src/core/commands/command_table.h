#pragma once
// The command table: one record per command with everything the window needs to show it
// and to decide whether it can be chosen. The menus, the toolbar, the card list's context
// menu, the accelerator filter and the dispatcher all read these records; the work of a
// command is bound to its id by the window's command groups.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"

namespace tessaline {

using EnabledRule = bool (*)(const CommandContext&);

enum class CommandPlace {
    Window,       // a menu entry, toolbar button or accelerator of the main window
    ContextMenu,  // an entry of the card list's context menu only
};

struct CommandInfo {
    CommandId id = CommandId::None;
    std::string_view label;    // "&Open..."; empty for commands without a menu item
    std::string_view prompt;   // the status bar's text while the item or button is pointed at
    std::string_view toolTip;  // the toolbar button's tip; empty without a button
    // Accelerators, if any; the menu shows the first ("Ctrl+V", then "Shift+Ins").
    std::array<std::string_view, 2> keys{};
    // A key another command's record owns that reaches this one where it applies (Ctrl+C
    // copies the password in the card list): shown in the menu, not an accelerator.
    std::string_view shownKeys;
    std::string_view icon;  // the toolbar picture's name ("new"); empty without a button
    EnabledRule enabled = nullptr;
    bool whileLocked = false;  // can still be chosen while the active document is locked
    CommandPlace place = CommandPlace::Window;

    // The parts most commands leave out, added to a record as it is written.
    constexpr CommandInfo Tip(std::string_view text) const {
        CommandInfo c = *this;
        c.toolTip = text;
        return c;
    }
    constexpr CommandInfo Keys(std::string_view first, std::string_view second = {}) const {
        CommandInfo c = *this;
        c.keys = {first, second};
        return c;
    }
    constexpr CommandInfo ShowsKeys(std::string_view keysOfAnother) const {
        CommandInfo c = *this;
        c.shownKeys = keysOfAnother;
        return c;
    }
    constexpr CommandInfo Icon(std::string_view name) const {
        CommandInfo c = *this;
        c.icon = name;
        return c;
    }
    constexpr CommandInfo WhileLocked() const {
        CommandInfo c = *this;
        c.whileLocked = true;
        return c;
    }
    constexpr CommandInfo InContextMenuOnly() const {
        CommandInfo c = *this;
        c.place = CommandPlace::ContextMenu;
        return c;
    }
};

// A record: the command, its menu label and prompt, and its rule.
constexpr CommandInfo Command(CommandId id, std::string_view label, std::string_view prompt,
                              EnabledRule enabled) {
    CommandInfo c;
    c.id = id;
    c.label = label;
    c.prompt = prompt;
    c.enabled = enabled;
    return c;
}

// One table per part of the program, in menu order.
std::span<const CommandInfo> FileCommandTable();
std::span<const CommandInfo> EditCommandTable();
std::span<const CommandInfo> CardCommandTable();
std::span<const CommandInfo> InternetCommandTable();
std::span<const CommandInfo> ViewCommandTable();  // the View and Window menus
std::span<const CommandInfo> HelpCommandTable();

// The menu item's text: the label, and after a tab the first accelerator ("&Open...\tCtrl+O")
// or else the key it shows.
std::string MenuText(const CommandInfo& command);

// Every command, each once.
std::span<const CommandInfo> AllCommands();
// The record of a command; nullptr for an unknown id.
const CommandInfo* FindCommand(CommandId command);

// The status bar's text while nothing is pointed at.
inline constexpr std::string_view kIdlePrompt = "Ready";
// The recent-file entries' prompt, and the File menu's text while the list is empty.
inline constexpr std::string_view kRecentFilePrompt = "Open this document";
inline constexpr std::string_view kEmptyRecentFileText = "Recent File";

}  // namespace tessaline
