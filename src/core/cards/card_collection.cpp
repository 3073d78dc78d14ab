#include "core/cards/card_collection.h"

#include <algorithm>

#include "core/base/secure_wipe.h"
#include "core/cards/card_walk.h"
#include "core/cards/text_folding.h"

namespace tessaline {

namespace {

bool ValidCode(int code) {
    return code >= 0 && code < kCategoryCount;
}

// Whether the folded text occurs in the field. field is a buffer the caller reuses.
bool ContainsFolded(const std::string& bytes, std::u32string_view foldedText,
                    std::u32string& field) {
    FoldStoredText(bytes, field);
    return std::search(field.begin(), field.end(), foldedText.begin(), foldedText.end()) !=
           field.end();
}

bool Matches(const CCard& card, std::u32string_view foldedText, bool withPasswords,
             std::u32string& field) {
    if (ContainsFolded(card.Name(), foldedText, field) ||
        ContainsFolded(card.Address(), foldedText, field) ||
        ContainsFolded(card.UserId(), foldedText, field) ||
        (withPasswords && ContainsFolded(card.Password(), foldedText, field)) ||
        ContainsFolded(card.Note(), foldedText, field))
        return true;
    for (const std::string& tag : card.Tags()) {
        if (ContainsFolded(tag, foldedText, field))
            return true;
    }
    // A protected value is masked like the password everywhere it is shown: a search must
    // not tell which card holds it.
    for (const CustomField& custom : card.CustomFields()) {
        if (!custom.isProtected && ContainsFolded(custom.value, foldedText, field))
            return true;
    }
    return false;
}

}  // namespace

bool CardMatchesSearch(const CCard& card, std::u32string_view foldedText, bool withPasswords) {
    std::u32string field;
    const bool match = Matches(card, foldedText, withPasswords, field);
    WipeFolded(field);
    return match;
}

CCardCollection::CCardCollection() {
    for (int code = 0; code < kCategoryCount; ++code) {
        CategoryLabels labels;
        LabelsByCode(code, labels);
        CCategoryList& list = List(code);
        list.SetLabels(labels);
        // The first two and the last list have always carried no display name.
        if (code != kWwwSites && code != kWwwForms && code != kMiscellaneous) {
            list.SetDisplayName(CategoryDisplayName(code));
        }
    }
}

CCard* CCardCollection::Adopt(CCard card) {
    owned_.push_back(std::make_unique<CCard>(std::move(card)));
    return owned_.back().get();
}

void CCardCollection::AddCardToCategory(int code, CCard* card) {
    if (ValidCode(code))
        List(code).AddCard(card);
}

void CCardCollection::RemoveCardFromCategory(int code, int position) {
    if (ValidCode(code))
        List(code).RemoveAt(position);
}

void CCardCollection::AddToDeletedList(CCard* card) {
    deleted_.AddCard(card);
}

void CCardCollection::SetDeletedMark(CCard* card) {
    if (card)
        card->SetDeleted(true);
}

void CCardCollection::DeleteCard(CCard* card) {
    if (!card)
        return;
    const int code = card->Category();
    if (!ValidCode(code))
        return;
    const int position = List(code).IndexOf(card);
    if (position < 0)
        return;
    SetDeletedMark(card);
    AddToDeletedList(card);
    RemoveCardFromCategory(code, position);
}

void CCardCollection::ChangeCategory(CCard* card, int newCode) {
    if (!card || !ValidCode(newCode))
        return;
    const int oldCode = card->Category();
    if (ValidCode(oldCode)) {
        const int position = List(oldCode).IndexOf(card);
        if (position >= 0)
            RemoveCardFromCategory(oldCode, position);
    }
    card->SetCategory(static_cast<std::uint8_t>(newCode));
    AddCardToCategory(newCode, card);
}

int CCardCollection::GatherAllCards() {
    for (int code : kGatherOrder) {
        const CCategoryList& list = List(code);
        allCards_.insert(allCards_.end(), list.begin(), list.end());
    }
    return static_cast<int>(allCards_.size());
}

void CCardCollection::Search(std::string_view text, bool withPasswords) {
    searchResults_.Empty();
    std::u32string folded = FoldedStoredText(text);
    // One buffer for every field of every card; it held passwords, so it is wiped.
    std::u32string field;
    field.reserve(256);
    VisitCardsFetchingAhead(allCards_, [&](CCard& card) {
        if (Matches(card, folded, withPasswords, field))
            searchResults_.AddCard(&card);
        return true;
    });
    WipeFolded(field);
    WipeFolded(folded);
}

void CCardCollection::GatherAndSearch(std::string_view text, bool withPasswords) {
    EmptyAllCards();
    GatherAllCards();
    Search(text, withPasswords);
}

std::uint64_t CCardCollection::TotalStoredSize() const {
    std::uint64_t total = 0;
    for (const CCategoryList& list : lists_) {
        for (const CCard* card : list)
            total += card->StoredSize();
    }
    for (const CCard* card : deleted_)
        total += card->StoredSize();
    return total;
}

std::uint64_t CCardCollection::KeptStoredSize() const {
    std::uint64_t total = 0;
    for (const std::unique_ptr<CCard>& card : owned_)
        total += card->StoredSize();
    return total;
}

int CCardCollection::LiveCardCount() const {
    int n = 0;
    for (const CCategoryList& list : lists_)
        n += list.Count();
    return n;
}

CCardCollection::~CCardCollection() {
    WipeCardTexts(*this);
}

void WipeCardTexts(CCardCollection& cards) {
    cards.ForEachOwnedCard(
        [](CCard& card) { card.ForEachText([](std::string& text) { SecureWipe(text); }); });
}

}  // namespace tessaline
