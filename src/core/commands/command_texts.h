#pragma once
// What each command is called: its menu text (with the accelerator shown after a tab),
// the prompt the status bar shows while it is pointed at, and its tool tip.

#include <span>
#include <string_view>

namespace tessaline {

struct CommandText {
    int command;
    std::string_view menuText;  // "&Open...\tCtrl+O"; empty for commands without a menu item
    std::string_view prompt;    // the status bar's text while the item or button is pointed at
    std::string_view toolTip;   // the toolbar button's tip; empty without a button
};

// The texts of a command; nullptr for an unknown id.
const CommandText* FindCommandText(int command);

// Every command the window knows, each once.
std::span<const CommandText> AllCommandTexts();

// The status bar's text while nothing is pointed at.
inline constexpr std::string_view kIdlePrompt = "Ready";
// The recent-file entries' prompt, and the File menu's text while the list is empty.
inline constexpr std::string_view kRecentFilePrompt = "Open this document";
inline constexpr std::string_view kEmptyRecentFileText = "Recent File";

}  // namespace tessaline
