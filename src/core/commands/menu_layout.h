#pragma once
// The layout of the window's two menu bars (one while no document is open, one while
// documents are open), of the toolbar and of the card list's context menu.

#include <span>
#include <string_view>

#include "core/commands/command_ids.h"

namespace tessaline {

enum class MenuEntryKind {
    Command,  // one command, named by id
    Separator,
    SubMenu,      // text and children
    RecentFiles,  // the recent-file entries, or a greyed "Recent File" while there are none
    WindowList,   // the open child windows, numbered
};

struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Command;
    CommandId command = CommandId::None;
    std::string_view text;                // sub-menus only
    std::span<const MenuEntry> children;  // sub-menus only
};

struct MenuDefinition {
    std::string_view title;
    std::span<const MenuEntry> entries;
};

// The menus from left to right.
std::span<const MenuDefinition> MenuBarLayout(bool haveDocument);

// The toolbar's buttons from left to right; CommandId::None stands for a separator.
std::span<const CommandId> ToolbarLayout();

// The card list's context menu.
std::span<const MenuEntry> CardContextMenuLayout();
// The recycle bin's list's context menu.
std::span<const MenuEntry> RecycledCardContextMenuLayout();

}  // namespace tessaline
