#include "core/commands/command_rules.h"

#include "core/cards/categories.h"

namespace tessaline::command_rules {

bool Always(const CommandContext&) {
    return true;
}

bool HasDocument(const CommandContext& c) {
    return c.hasDocument;
}

bool DocumentHasCards(const CommandContext& c) {
    return c.hasDocument && c.documentHasCards;
}

bool ListHasCards(const CommandContext& c) {
    return c.hasDocument && c.hasView && c.documentHasCards;
}

bool PrintSetup(const CommandContext& c) {
    return !c.hasDocument || c.documentHasCards;
}

bool AnyLockable(const CommandContext& c) {
    return c.anyLockable;
}

bool Undo(const CommandContext& c) {
    const TextFieldState& t = c.textField;
    if (t.focused)
        return !t.readOnly && t.canUndo;
    return c.hasDocument && !c.documentLocked && !c.undoAction.empty();
}

bool Redo(const CommandContext& c) {
    const TextFieldState& t = c.textField;
    if (t.focused)
        return !t.readOnly && t.canRedo;
    return c.hasDocument && !c.documentLocked && !c.redoAction.empty();
}

bool Cut(const CommandContext& c) {
    const TextFieldState& t = c.textField;
    return t.focused && !t.readOnly && !t.masked && t.hasSelectedText;
}

bool Copy(const CommandContext& c) {
    const TextFieldState& t = c.textField;
    if (t.focused)
        return !t.masked && t.hasSelectedText;
    // In the card list the key copies the selected card's password.
    return c.cardListFocused && c.hasView && c.hasSelectedCard;
}

bool Paste(const CommandContext& c) {
    const TextFieldState& t = c.textField;
    return t.focused && !t.readOnly && t.clipboardHasText;
}

bool HasView(const CommandContext& c) {
    return c.hasView;
}

bool HasSelectedCard(const CommandContext& c) {
    return c.hasView && c.hasSelectedCard;
}

bool HasSelectedLiveCard(const CommandContext& c) {
    return HasSelectedCard(c) && c.selectorText != kRecycleBin;
}

bool HasSelectedRecycledCard(const CommandContext& c) {
    return HasSelectedCard(c) && c.selectorText == kRecycleBin;
}

bool HasRecycledCards(const CommandContext& c) {
    return c.hasDocument && !c.documentLocked && c.recycledCards > 0;
}

bool HasUnlockedDocument(const CommandContext& c) {
    return c.hasDocument && !c.documentLocked;
}

bool CardToPaste(const CommandContext& c) {
    return c.hasView && c.pasteAvailable;
}

bool SelectedCardHasOneTimeCode(const CommandContext& c) {
    return HasSelectedCard(c) && c.selectedCardHasOneTimeCode;
}

bool DocumentListHasSelection(const CommandContext& c) {
    return c.hasDocument && c.hasView && c.hasSelectedCard;
}

bool DocumentHasList(const CommandContext& c) {
    return c.hasDocument && c.hasView;
}

}  // namespace tessaline::command_rules
