#pragma once
// The recycle bin's commands that end a card for good ask first: Delete Permanently for
// the selected card, Empty Recycle Bin once for all of them.

#include "core/cards/card_versions.h"
#include "core/platform/user_answers.h"

namespace tessaline {

class CCard;
class DocumentModel;

namespace recycle_bin_messages {
inline constexpr const char* kConfirmDeletePermanently =
    "Delete \"%1\" permanently? It cannot be restored from the recycle bin.";
inline constexpr const char* kConfirmEmptyOne =
    "Delete the card in the recycle bin permanently? It cannot be restored.";
inline constexpr const char* kConfirmEmptyMany =
    "Delete the %1 cards in the recycle bin permanently? They cannot be restored.";
}  // namespace recycle_bin_messages

// Delete Permanently: asks, then the card goes for good. False for no card or No.
bool DeletePermanentlyAsking(DocumentModel& doc, CCard* card, IUserAnswers& ui, ChangeTime now);
// Empty Recycle Bin: asks once, then every card in the bin goes for good. Returns how many
// went (0 for an empty bin, without asking, or No).
int EmptyRecycleBinAsking(DocumentModel& doc, IUserAnswers& ui, ChangeTime now);

}  // namespace tessaline
