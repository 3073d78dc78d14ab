#pragma once
// The card commands on a document: each one is a CardChange, so every change the user
// makes (editor, card commands, the generator's Use, imports, the recycle bin, earlier
// versions) stamps the card, keeps the version it replaces in the card's history and can
// be undone and redone. The window and the command line both call these.
//
// The recycle bin and the handheld: Delete moves a card to the recycle bin, whatever the
// file. Only when a card leaves the bin for good does the handheld's rule apply: a card
// the handheld knows (it has a record ID) then goes to the deleted cards with its deleted
// mark and only what sync needs, as Delete always did; any other card is emptied and
// leaves no more than its tombstone.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card_versions.h"
#include "core/views/card_commands.h"

namespace tessaline {

class DocumentModel;

// What Undo and Redo call a change of one card: what "NAME", the name as shown.
std::string CardActionName(std::string_view what, const CCard& card);

// New Card from the editor's fields, into the selector's category. Null when the text
// names no category.
CCard* NewCard(DocumentModel& doc, std::string_view selectorText, const CardEditorFields& fields,
               const IProfile& profile, ChangeTime now);
// Edit Card: stores the editor's fields when anything differs. True when the card changed.
bool EditCard(DocumentModel& doc, CCard& card, const CardEditorFields& fields,
              const IProfile& profile, ChangeTime now);
// Any other change of a card's contents (optional fields, the command line's edit): change
// runs on the card; when the contents then differ, the card is stamped and the change
// recorded under actionName. True when the card changed.
bool ChangeCard(DocumentModel& doc, CCard& card, const std::function<void(CCard&)>& change,
                const IProfile& profile, ChangeTime now, std::string actionName);
// "Use" of the password generator on the card. False without a card.
bool UseGeneratedPassword(DocumentModel& doc, CCard* card, const std::string& password,
                          const IProfile& profile, ChangeTime now);
// Change Category (the card keeps its identity and its date text).
MoveResult MoveCard(DocumentModel& doc, CCard* card, int targetCode, IUserAnswers& ui,
                    ChangeTime now);
// Paste Card: the copy becomes a new card (its own identity, made now, no history).
CCard* PasteCard(DocumentModel& doc, CardClipboard& clipboard, std::string_view selectorText,
                 IUserAnswers& ui, ChangeTime now);
// Adds imported cards at the end of their categories (one action); returns how many.
int ImportCards(DocumentModel& doc, std::vector<CCard>& cards, ChangeTime now);

// Delete Card, asking first as Delete always did: the card goes to the recycle bin.
bool DeleteCardToBin(DocumentModel& doc, std::string_view selectorText, CCard* card,
                     IUserAnswers& ui, ChangeTime now);
// Moves a card in a category to the recycle bin without asking. False for a card in none.
bool MoveToRecycleBin(DocumentModel& doc, CCard* card, ChangeTime now);
// Restore: a card of the recycle bin goes back to the end of its category.
bool RestoreFromRecycleBin(DocumentModel& doc, CCard* card);
// Delete Permanently: a card in the recycle bin or a category goes for good (see above),
// leaving a tombstone.
bool DeletePermanently(DocumentModel& doc, CCard* card, ChangeTime now);
// Empty Recycle Bin: every card in it goes for good (one action). Returns how many.
int EmptyRecycleBin(DocumentModel& doc, ChangeTime now);

// Makes the card's earlier version at index (0 = the oldest) current; the current one goes
// to the history. A version of another category moves the card to the end of that list.
bool RestoreEarlierVersion(DocumentModel& doc, CCard* card, std::size_t index,
                           const IProfile& profile, ChangeTime now);

}  // namespace tessaline
