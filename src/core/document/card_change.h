#pragma once
// One change to a document's cards, as every path that changes cards makes it (the editor,
// the card commands, the generator's Use, imports, the recycle bin, earlier versions, the
// command line): it keeps what the touched cards were and where they were, and on Commit
// records that as one action the user can undo and marks the document modified.
//
//   CardChange change(doc, "Edit Card \"Bank\"");
//   change.Keep(card);      // before the card (or its place) changes
//   ... change the card ...
//   change.Commit();

#include <string>
#include <unordered_map>
#include <vector>

#include "core/document/card_undo.h"

namespace tessaline {

class DocumentModel;

class CardChange {
public:
    CardChange(DocumentModel& doc, std::string name);
    // A change never committed records nothing; the states it kept are wiped.
    ~CardChange();
    CardChange(const CardChange&) = delete;
    CardChange& operator=(const CardChange&) = delete;

    // Keeps the card's state and place before it changes; a card kept twice keeps the first.
    void Keep(CCard* card);
    // The same with the card's place already known (many cards at once).
    void Keep(CCard* card, CardListPlace before);
    // A card this change made: before it there was nothing, nowhere.
    void Made(CCard* card);
    // The card's place after the change, when the caller knows it; otherwise Commit looks.
    void Placed(CCard* card, CardListPlace after);
    // What the card was when it was kept; null for a card not kept (or made here).
    const CCard* Kept(const CCard* card) const;
    // Leaves a tombstone in the collection, undone with the change.
    void AddTombstone(const Tombstone& tombstone);
    // Records the change as one action that can be undone and marks the document modified.
    // Nothing is recorded, and the document is left as it is, when no card was kept or made.
    void Commit();

    DocumentModel& Document() { return doc_; }

private:
    CardUndoStep& StepOf(CCard* card, bool& added);

    DocumentModel& doc_;
    CardUndoAction action_;
    std::unordered_map<const CCard*, std::size_t> index_;
    std::vector<bool> afterKnown_;
    std::vector<bool> made_;
    bool committed_ = false;
};

}  // namespace tessaline
