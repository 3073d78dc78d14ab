#include "core/document/card_undo.h"

#include <algorithm>
#include <map>
#include <utility>

#include "core/base/secure_wipe.h"

namespace tessaline {

namespace {

bool IsCategory(int list) {
    return list >= 0 && list < kCategoryCount;
}

// Moves every card of the action from one side's places to the other's and swaps in its
// other state. Cards are taken out of all their lists first and then put in at their new
// positions, lowest first, so each lands exactly where it was recorded.
void Apply(CCardCollection& cards, CardUndoAction& action, bool forward) {
    auto from = [forward](const CardUndoStep& s) { return forward ? s.before : s.after; };
    auto to = [forward](const CardUndoStep& s) { return forward ? s.after : s.before; };

    std::map<int, std::vector<const CardUndoStep*>> leaving;
    for (const CardUndoStep& step : action.steps) {
        if (from(step).list != kNoCardList)
            leaving[from(step).list].push_back(&step);
    }
    for (auto& [list, steps] : leaving) {
        CCategoryList* cardList = ListOfPlace(cards, list);
        if (cardList == nullptr)
            continue;
        if (steps.size() == 1) {
            const CardUndoStep& s = *steps.front();
            const int position = from(s).position;
            if (position >= 0 && position < cardList->Count() &&
                cardList->CardAt(position) == s.card)
                cardList->RemoveAt(position);
            else
                cardList->RemoveAt(cardList->IndexOf(s.card));
            continue;
        }
        std::vector<const CCard*> gone;
        for (const CardUndoStep* s : steps)
            gone.push_back(s->card);
        std::ranges::sort(gone);
        cardList->RemoveWhere(
            [&gone](const CCard* c) { return std::ranges::binary_search(gone, c); });
    }

    for (CardUndoStep& step : action.steps)
        std::swap(*step.card, step.other);

    std::vector<const CardUndoStep*> arriving;
    for (const CardUndoStep& step : action.steps) {
        if (to(step).list != kNoCardList)
            arriving.push_back(&step);
    }
    std::ranges::sort(arriving, [&to](const CardUndoStep* a, const CardUndoStep* b) {
        return std::pair(to(*a).list, to(*a).position) < std::pair(to(*b).list, to(*b).position);
    });
    for (const CardUndoStep* s : arriving) {
        if (CCategoryList* cardList = ListOfPlace(cards, to(*s).list))
            cardList->InsertAt(to(*s).position, s->card);
    }

    // A card that left the categories leaves the search results too.
    std::vector<const CCard*> unlisted;
    for (const CardUndoStep& step : action.steps) {
        if (!IsCategory(to(step).list))
            unlisted.push_back(step.card);
    }
    if (!unlisted.empty()) {
        std::ranges::sort(unlisted);
        cards.SearchResults().RemoveWhere(
            [&unlisted](const CCard* c) { return std::ranges::binary_search(unlisted, c); });
    }

    std::vector<Tombstone>& tombstones = cards.Tombstones();
    if (forward) {
        tombstones.insert(tombstones.end(), action.tombstones.begin(), action.tombstones.end());
    } else {
        for (auto it = action.tombstones.rbegin(); it != action.tombstones.rend(); ++it) {
            auto found = std::find(tombstones.rbegin(), tombstones.rend(), *it);
            if (found != tombstones.rend())
                tombstones.erase(std::next(found).base());
        }
    }
}

void WipeAll(std::vector<CardUndoAction>& actions) {
    for (CardUndoAction& action : actions)
        WipeAction(action);
    actions.clear();
}

}  // namespace

CardListPlace CardListPlaceOf(const CCardCollection& cards, const CCard* card) {
    if (card == nullptr)
        return {};
    const int own = card->Category();
    if (IsCategory(own)) {
        if (const int i = cards.List(own).IndexOf(card); i >= 0)
            return {own, i};
    }
    if (const int i = cards.RecycleBin().IndexOf(card); i >= 0)
        return {kRecycleBinList, i};
    if (const int i = cards.DeletedList().IndexOf(card); i >= 0)
        return {kDeletedCardList, i};
    for (int code = 0; code < kCategoryCount; ++code) {
        if (code == own)
            continue;
        if (const int i = cards.List(code).IndexOf(card); i >= 0)
            return {code, i};
    }
    return {};
}

CCategoryList* ListOfPlace(CCardCollection& cards, int list) {
    if (IsCategory(list))
        return &cards.List(list);
    if (list == kDeletedCardList)
        return &cards.DeletedList();
    if (list == kRecycleBinList)
        return &cards.RecycleBin();
    return nullptr;
}

void WipeAction(CardUndoAction& action) {
    for (CardUndoStep& step : action.steps)
        step.other.ForEachText([](std::string& text) { SecureWipe(text); });
    SecureWipe(action.name);
    action.steps.clear();
    action.tombstones.clear();
}

CardUndoStack::~CardUndoStack() {
    Clear();
}

void CardUndoStack::Push(CardUndoAction action) {
    WipeAll(redo_);
    undo_.push_back(std::move(action));
}

std::string CardUndoStack::UndoText() const {
    return undo_.empty() ? "Undo" : "Undo " + undo_.back().name;
}

std::string CardUndoStack::RedoText() const {
    return redo_.empty() ? "Redo" : "Redo " + redo_.back().name;
}

bool CardUndoStack::Undo(CCardCollection& cards) {
    if (undo_.empty())
        return false;
    Apply(cards, undo_.back(), false);
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return true;
}

bool CardUndoStack::Redo(CCardCollection& cards) {
    if (redo_.empty())
        return false;
    Apply(cards, redo_.back(), true);
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return true;
}

void CardUndoStack::Clear() {
    WipeAll(undo_);
    WipeAll(redo_);
}

}  // namespace tessaline
