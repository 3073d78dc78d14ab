#pragma once
// The rules the command records name: when a command can be chosen, from the facts the
// window gathers.

#include "core/commands/command_state.h"

namespace tessaline::command_rules {

bool Always(const CommandContext& c);
bool HasDocument(const CommandContext& c);
// The document's commands need at least one stored card.
bool DocumentHasCards(const CommandContext& c);
// Printing works on the active card list of a document that holds a card.
bool ListHasCards(const CommandContext& c);
// Printer set-up is the application's while no document is open.
bool PrintSetup(const CommandContext& c);
bool AnyLockable(const CommandContext& c);
// Recent-file entry INDEX exists.
template <int Index>
bool RecentEntry(const CommandContext& c) {
    return Index < c.recentFileCount;
}

// Undo, Cut, Copy and Paste act on the focused text field.
bool Undo(const CommandContext& c);
bool Cut(const CommandContext& c);
bool Copy(const CommandContext& c);
bool Paste(const CommandContext& c);

// The card commands work on the active card list.
bool HasView(const CommandContext& c);
bool HasSelectedCard(const CommandContext& c);
bool CardToPaste(const CommandContext& c);

// The toolbar's Load Web Page needs a selected card, its Get Web Page a card list.
bool DocumentListHasSelection(const CommandContext& c);
bool DocumentHasList(const CommandContext& c);

}  // namespace tessaline::command_rules
