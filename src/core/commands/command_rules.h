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

// Undo and Redo act on the focused text field, and on the active document's cards while no
// text field has the focus; Cut, Copy and Paste act on the focused text field.
bool Undo(const CommandContext& c);
bool Redo(const CommandContext& c);
bool Cut(const CommandContext& c);
bool Copy(const CommandContext& c);
bool Paste(const CommandContext& c);

// The card commands work on the active card list.
bool HasView(const CommandContext& c);
bool HasSelectedCard(const CommandContext& c);
// A selected card that is not in the recycle bin: editing and moving work on those only.
bool HasSelectedLiveCard(const CommandContext& c);
// A selected card of the recycle bin's list: Restore and Delete Permanently.
bool HasSelectedRecycledCard(const CommandContext& c);
// The active document has cards in its recycle bin.
bool HasRecycledCards(const CommandContext& c);
// File > Properties... changes the active document's settings.
bool HasUnlockedDocument(const CommandContext& c);
bool CardToPaste(const CommandContext& c);
// Copy One-Time Code: the selected card has a one-time-code secret.
bool SelectedCardHasOneTimeCode(const CommandContext& c);

// The toolbar's Load Web Page needs a selected card, its Get Web Page a card list.
bool DocumentListHasSelection(const CommandContext& c);
bool DocumentHasList(const CommandContext& c);

}  // namespace tessaline::command_rules
