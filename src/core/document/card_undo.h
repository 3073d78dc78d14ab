#pragma once
// Undo and Redo of card changes. Each action keeps, for every card it touched, the card's
// other state (before the change while it can be undone, after it while it can be redone)
// and the card's place before and after, so undoing and redoing put back exactly what was
// there, list positions included, without copying the collection. The cards stay where
// the collection keeps them: an action refers to them, and a card an undone action had
// made is left empty and in no list.

#include <string>
#include <vector>

#include "core/cards/card.h"
#include "core/cards/card_collection.h"

namespace tessaline {

// The list a card is in: a category (0..14), the handheld's deleted cards, the recycle bin,
// or none; and its position there.
inline constexpr int kNoCardList = -1;
inline constexpr int kDeletedCardList = kCategoryCount;
inline constexpr int kRecycleBinList = kCategoryCount + 1;
struct CardListPlace {
    int list = kNoCardList;
    int position = -1;

    friend bool operator==(const CardListPlace&, const CardListPlace&) = default;
};
// Where the card is: its own category's list first, then the others, the recycle bin and
// the deleted cards. No list when it is in none.
CardListPlace CardListPlaceOf(const CCardCollection& cards, const CCard* card);
// The list a place names; null for none.
CCategoryList* ListOfPlace(CCardCollection& cards, int list);

struct CardUndoStep {
    CCard* card = nullptr;
    // The card's state on the other side of the action.
    CCard other;
    CardListPlace before;
    CardListPlace after;
};

struct CardUndoAction {
    // What the menu calls it after "Undo " or "Redo ": Delete Card "Bank".
    std::string name;
    std::vector<CardUndoStep> steps;
    // Tombstones the action added at the end of the collection's list.
    std::vector<Tombstone> tombstones;
};

class CardUndoStack {
public:
    CardUndoStack() = default;
    ~CardUndoStack();
    CardUndoStack(const CardUndoStack&) = delete;
    CardUndoStack& operator=(const CardUndoStack&) = delete;

    // A new action: it can be undone; what could be redone is wiped and dropped.
    void Push(CardUndoAction action);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // "Undo Delete Card "Bank"", or "Undo" when there is nothing to undo; the same for Redo.
    std::string UndoText() const;
    std::string RedoText() const;
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }
    // Undoes the newest action on cards (the collection it was made on). False when there
    // is none.
    bool Undo(CCardCollection& cards);
    bool Redo(CCardCollection& cards);
    // Wipes every text the actions hold and forgets them (the document closes, locks or
    // reads another file).
    void Clear();

private:
    std::vector<CardUndoAction> undo_;
    std::vector<CardUndoAction> redo_;
};

// Wipes the texts an action holds.
void WipeAction(CardUndoAction& action);

}  // namespace tessaline
