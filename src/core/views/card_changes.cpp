#include "core/views/card_changes.h"

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"
#include "core/document/card_change.h"
#include "core/document/document_model.h"
#include "core/file/data_file.h"
#include "core/prefs/date_format.h"

namespace tessaline {

namespace {

bool IsCategory(int code) {
    return code >= 0 && code < kCategoryCount;
}

// A kept card's contents changed: the version it replaces goes to its history, and it is
// modified now.
void NoteNewVersion(CardChange& change, CCard& card, ChangeTime now) {
    GiveIdentityIfNone(card);
    if (const CCard* before = change.Kept(&card))
        AddToHistory(card, *before, change.Document().Cards().HistorySize());
    card.SetModifiedMs(now.ms);
}

void StampLegacy(CCard& card, const IProfile& profile, ChangeTime now) {
    card.SetModificationTime(now.legacy);
    card.SetDateText(FormatCardDate(now.legacy, profile));
}

void RemoveFromSearchResults(CCardCollection& cards, const CCard* card) {
    CCategoryList& results = cards.SearchResults();
    for (int i = results.IndexOf(card); i >= 0; i = results.IndexOf(card))
        results.RemoveAt(i);
}

// Takes the card out of the list it is in.
void Unlist(CCardCollection& cards, const CardListPlace& place) {
    if (CCategoryList* list = ListOfPlace(cards, place.list))
        list->RemoveAt(place.position);
}

// What is left of a card that goes for good; where it goes (its place after).
CardListPlace Discard(CardChange& change, CCard& card, ChangeTime now) {
    CCardCollection& cards = change.Document().Cards();
    if (HasIdentity(card.Identity()))
        change.AddTombstone(Tombstone{card.Identity(), now.ms});
    auto wipe = [](std::string& text) { SecureWipe(text); };
    for (CCard& version : card.MutableHistory())
        version.ForEachText(wipe);
    RemoveFromSearchResults(cards, &card);
    if (card.RecordId() != 0) {
        // The handheld must hear of it: kept as a deleted card with what sync needs.
        card.SetHistory({});
        card.SetTags({});
        card.SetCustomFields({});
        card.SetOtpUri({});
        card.SetExpiresMs(std::nullopt);
        card.SetRecycledMs(0);
        card.SetDeleted(true);
        ClearDeletedCardSecrets(card);
        cards.AddToDeletedList(&card);
        return {kDeletedCardList, cards.DeletedList().Count() - 1};
    }
    card.ForEachText(wipe);
    card = CCard{};
    return {};
}

}  // namespace

std::string CardActionName(std::string_view what, const CCard& card) {
    return std::string(what) + " \"" + ShownAsUtf8(card.Name()) + "\"";
}

CCard* NewCard(DocumentModel& doc, std::string_view selectorText, const CardEditorFields& fields,
               const IProfile& profile, ChangeTime now, const std::function<void(CCard&)>& more) {
    CCard* card = AddNewCard(doc.Cards(), selectorText, fields, profile, now.legacy);
    if (card == nullptr)
        return nullptr;
    StampNewCard(*card, now.ms);
    if (more)
        more(*card);
    CardChange change(doc, CardActionName("New Card", *card));
    change.Made(card);
    change.Commit();
    return card;
}

bool EditCard(DocumentModel& doc, CCard& card, const CardEditorFields& fields,
              const IProfile& profile, ChangeTime now) {
    CardChange change(doc, CardActionName("Edit Card", card));
    change.Keep(&card);
    if (!ApplyCardEdit(card, fields, profile, now.legacy))
        return false;
    NoteNewVersion(change, card, now);
    change.Commit();
    return true;
}

bool ChangeCard(DocumentModel& doc, CCard& card, const std::function<void(CCard&)>& edit,
                const IProfile& profile, ChangeTime now, std::string actionName) {
    CCardCollection& cards = doc.Cards();
    const CardListPlace place = CardListPlaceOf(cards, &card);
    CardChange change(doc, std::move(actionName));
    change.Keep(&card, place);
    edit(card);
    if (SameContent(*change.Kept(&card), card))
        return false;
    if (card.Category() != change.Kept(&card)->Category()) {
        if (!IsCategory(card.Category()))
            card.SetCategory(kMiscellaneous);
        if (IsCategory(place.list)) {
            Unlist(cards, place);
            cards.AddCardToCategory(card.Category(), &card);
        }
    }
    card.SetChanged(true);
    StampLegacy(card, profile, now);
    NoteNewVersion(change, card, now);
    change.Commit();
    return true;
}

bool UseGeneratedPassword(DocumentModel& doc, CCard* card, const std::string& password,
                          const IProfile& profile, ChangeTime now) {
    if (card == nullptr)
        return false;
    CardChange change(doc, CardActionName("Use Generated Password", *card));
    change.Keep(card);
    if (!SetCardPassword(card, password, profile, now.legacy))
        return false;
    NoteNewVersion(change, *card, now);
    change.Commit();
    return true;
}

MoveResult MoveCard(DocumentModel& doc, CCard* card, int targetCode, IUserAnswers& ui,
                    ChangeTime now) {
    if (card == nullptr)
        return MoveResult::NoCard;
    CardChange change(doc, CardActionName("Move Card", *card));
    change.Keep(card);
    const MoveResult result = ChangeCardCategory(doc.Cards(), card, targetCode, ui);
    if (result != MoveResult::Moved)
        return result;
    NoteNewVersion(change, *card, now);
    change.Commit();
    return result;
}

CCard* PasteCard(DocumentModel& doc, CardClipboard& clipboard, std::string_view selectorText,
                 IUserAnswers& ui, ChangeTime now) {
    CCard* card = clipboard.Paste(doc.Cards(), selectorText, ui);
    if (card == nullptr)
        return nullptr;
    StampNewCard(*card, now.ms);
    card->SetHistory({});
    CardChange change(doc, CardActionName("Paste Card", *card));
    change.Made(card);
    change.Commit();
    return card;
}

int ImportCards(DocumentModel& doc, std::vector<CCard>& from, ChangeTime now) {
    CCardCollection& cards = doc.Cards();
    CardChange change(doc, from.size() == 1 ? CardActionName("Import Card", from.front())
                                            : "Import " + std::to_string(from.size()) + " Cards");
    int added = 0;
    for (CCard& imported : from) {
        int code = imported.Category();
        if (!IsCategory(code)) {
            code = kMiscellaneous;
            imported.SetCategory(static_cast<std::uint8_t>(code));
        }
        GiveIdentityIfNone(imported);
        if (imported.CreatedMs() == 0)
            imported.SetCreatedMs(now.ms);
        if (imported.ModifiedMs() == 0)
            imported.SetModifiedMs(now.ms);
        CCard* card = cards.Adopt(std::move(imported));
        cards.AddCardToCategory(code, card);
        change.Made(card);
        change.Placed(card, {code, cards.List(code).Count() - 1});
        ++added;
    }
    from.clear();
    change.Commit();
    return added;
}

bool DeleteCardToBin(DocumentModel& doc, std::string_view selectorText, CCard* card,
                     IUserAnswers& ui, ChangeTime now) {
    // The card leaves its own list, so any list it is shown in will do (Show All too).
    (void)selectorText;
    if (card == nullptr)
        return false;
    // The question names the card, so that the wrong one is not deleted by a slip.
    std::string question = card_messages::kConfirmDelete;
    question.replace(question.find("%1"), 2, ShownCardName(*card));
    if (ui.MessageWithCaption(MessageRequest{question, MsgCaption::Application, MsgIcon::Warning,
                                             MsgButtons::OkCancel},
                              "Warning") != MsgAnswer::Ok)
        return false;
    return MoveToRecycleBin(doc, card, now);
}

bool MoveToRecycleBin(DocumentModel& doc, CCard* card, ChangeTime now) {
    if (card == nullptr)
        return false;
    CCardCollection& cards = doc.Cards();
    const CardListPlace place = CardListPlaceOf(cards, card);
    if (!IsCategory(place.list))
        return false;
    CardChange change(doc, CardActionName("Delete Card", *card));
    change.Keep(card, place);
    Unlist(cards, place);
    RemoveFromSearchResults(cards, card);
    card->SetRecycledMs(now.ms);
    cards.RecycleBin().AddCard(card);
    change.Placed(card, {kRecycleBinList, cards.RecycleBin().Count() - 1});
    change.Commit();
    return true;
}

bool RestoreFromRecycleBin(DocumentModel& doc, CCard* card) {
    CCardCollection& cards = doc.Cards();
    const int position = card == nullptr ? -1 : cards.RecycleBin().IndexOf(card);
    if (position < 0)
        return false;
    CardChange change(doc, CardActionName("Restore Card", *card));
    change.Keep(card, {kRecycleBinList, position});
    cards.RecycleBin().RemoveAt(position);
    card->SetRecycledMs(0);
    int code = card->Category();
    if (!IsCategory(code)) {
        code = kMiscellaneous;
        card->SetCategory(static_cast<std::uint8_t>(code));
    }
    cards.AddCardToCategory(code, card);
    change.Placed(card, {code, cards.List(code).Count() - 1});
    change.Commit();
    return true;
}

bool DeletePermanently(DocumentModel& doc, CCard* card, ChangeTime now) {
    if (card == nullptr)
        return false;
    CCardCollection& cards = doc.Cards();
    const CardListPlace place = CardListPlaceOf(cards, card);
    if (!IsCategory(place.list) && place.list != kRecycleBinList)
        return false;
    CardChange change(doc, CardActionName("Delete Card Permanently", *card));
    change.Keep(card, place);
    Unlist(cards, place);
    change.Placed(card, Discard(change, *card, now));
    change.Commit();
    return true;
}

int EmptyRecycleBin(DocumentModel& doc, ChangeTime now) {
    CCardCollection& cards = doc.Cards();
    CCategoryList& bin = cards.RecycleBin();
    const int count = bin.Count();
    if (count == 0)
        return 0;
    CardChange change(doc, "Empty Recycle Bin");
    const std::vector<CCard*> leaving(bin.begin(), bin.end());
    for (int i = 0; i < count; ++i)
        change.Keep(leaving[static_cast<std::size_t>(i)], {kRecycleBinList, i});
    bin.Empty();
    for (CCard* card : leaving)
        change.Placed(card, Discard(change, *card, now));
    change.Commit();
    return count;
}

bool RestoreEarlierVersion(DocumentModel& doc, CCard* card, std::size_t index,
                           const IProfile& profile, ChangeTime now) {
    if (card == nullptr || index >= card->History().size())
        return false;
    CCardCollection& cards = doc.Cards();
    const CardListPlace place = CardListPlaceOf(cards, card);
    CardChange change(doc, CardActionName("Restore Earlier Version", *card));
    change.Keep(card, place);
    const int oldCode = card->Category();
    MakeVersionCurrent(*card, index);
    int newCode = card->Category();
    if (!IsCategory(newCode)) {
        newCode = kMiscellaneous;
        card->SetCategory(static_cast<std::uint8_t>(newCode));
    }
    if (newCode != oldCode && IsCategory(place.list)) {
        Unlist(cards, place);
        cards.AddCardToCategory(newCode, card);
    }
    GiveIdentityIfNone(*card);
    card->SetChanged(true);
    card->SetModifiedMs(now.ms);
    StampLegacy(*card, profile, now);
    change.Commit();
    return true;
}

}  // namespace tessaline
