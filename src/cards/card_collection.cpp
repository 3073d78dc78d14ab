#include "cards/card_collection.h"

#include <algorithm>

namespace tessaline {

namespace {

bool ValidCode(int code) {
    return code >= 0 && code < kCategoryCount;
}

unsigned char UpperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    // Windows-1252 letters with an upper-case partner.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A:
            return 0x8A;  // s caron
        case 0x9C:
            return 0x8C;  // oe
        case 0x9E:
            return 0x8E;  // z caron
        case 0xFF:
            return 0x9F;  // y diaeresis
        default:
            return c;
    }
}

bool ContainsUpper(const std::string& field, std::string_view upperText) {
    if (upperText.size() > field.size())
        return false;
    const auto eq = [](char a, char b) {
        return UpperByte(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    };
    return std::search(field.begin(), field.end(), upperText.begin(), upperText.end(), eq) !=
           field.end();
}

}  // namespace

std::string UpperCaseText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    return out;
}

bool CardMatchesSearch(const CCard& card, std::string_view upperText) {
    return ContainsUpper(card.Name(), upperText) || ContainsUpper(card.Address(), upperText) ||
           ContainsUpper(card.UserId(), upperText) || ContainsUpper(card.Password(), upperText) ||
           ContainsUpper(card.Note(), upperText);
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

void CCardCollection::Search(std::string_view text) {
    searchResults_.Empty();
    const std::string upper = UpperCaseText(text);
    for (CCard* card : allCards_) {
        if (CardMatchesSearch(*card, upper))
            searchResults_.AddCard(card);
    }
}

void CCardCollection::GatherAndSearch(std::string_view text) {
    EmptyAllCards();
    GatherAllCards();
    Search(text);
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

int CCardCollection::LiveCardCount() const {
    int n = 0;
    for (const CCategoryList& list : lists_)
        n += list.Count();
    return n;
}

}  // namespace tessaline
