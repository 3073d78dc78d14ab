#include "core/document/card_change.h"

#include "core/document/document_model.h"

namespace tessaline {

CardChange::CardChange(DocumentModel& doc, std::string name) : doc_(doc) {
    action_.name = std::move(name);
}

CardChange::~CardChange() {
    if (!committed_)
        WipeAction(action_);
}

CardUndoStep& CardChange::StepOf(CCard* card, bool& added) {
    auto [it, inserted] = index_.try_emplace(card, action_.steps.size());
    added = inserted;
    if (inserted) {
        action_.steps.push_back(CardUndoStep{card, {}, {}, {}});
        afterKnown_.push_back(false);
        made_.push_back(false);
    }
    return action_.steps[it->second];
}

void CardChange::Keep(CCard* card) {
    if (card != nullptr && index_.find(card) == index_.end())
        Keep(card, CardListPlaceOf(doc_.Cards(), card));
}

void CardChange::Keep(CCard* card, CardListPlace before) {
    if (card == nullptr)
        return;
    bool added = false;
    CardUndoStep& step = StepOf(card, added);
    if (!added)
        return;
    step.other = *card;
    step.before = before;
}

void CardChange::Made(CCard* card) {
    if (card == nullptr)
        return;
    bool added = false;
    CardUndoStep& step = StepOf(card, added);
    if (!added)
        return;
    step.before = {};
    made_[index_[card]] = true;
}

void CardChange::Placed(CCard* card, CardListPlace after) {
    auto it = index_.find(card);
    if (it == index_.end())
        return;
    action_.steps[it->second].after = after;
    afterKnown_[it->second] = true;
}

const CCard* CardChange::Kept(const CCard* card) const {
    auto it = index_.find(card);
    if (it == index_.end())
        return nullptr;
    return made_[it->second] ? nullptr : &action_.steps[it->second].other;
}

void CardChange::AddTombstone(const Tombstone& tombstone) {
    doc_.Cards().Tombstones().push_back(tombstone);
    action_.tombstones.push_back(tombstone);
}

void CardChange::Commit() {
    if (committed_)
        return;
    committed_ = true;
    if (action_.steps.empty() && action_.tombstones.empty())
        return;
    for (std::size_t i = 0; i < action_.steps.size(); ++i) {
        if (!afterKnown_[i])
            action_.steps[i].after = CardListPlaceOf(doc_.Cards(), action_.steps[i].card);
    }
    doc_.CardUndo().Push(std::move(action_));
    doc_.SetModified(true);
}

}  // namespace tessaline
