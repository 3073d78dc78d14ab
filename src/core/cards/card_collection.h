#pragma once
// All cards of one document: a list per category, the deleted cards (still saved),
// and the two derived collections the search fills. The collection owns every card.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card.h"
#include "core/cards/category_list.h"

namespace tessaline {

// What is left of a card deleted for good: its identity and when, so that a copy of the
// file that still has the card does not bring it back when the two are merged.
struct Tombstone {
    CardIdentity identity{};
    std::int64_t deletedMs = 0;

    friend bool operator==(const Tombstone&, const Tombstone&) = default;
};

// How many earlier versions a card keeps unless the file says otherwise.
inline constexpr int kDefaultHistorySize = 10;

class CCardCollection {
public:
    CCardCollection();
    // Wipes every card's texts where they lie before the memory is given back: a closed
    // document, a replaced one and a finished command leave no card behind.
    ~CCardCollection();
    CCardCollection(const CCardCollection&) = delete;
    CCardCollection& operator=(const CCardCollection&) = delete;

    // Takes a card into the collection's keeping and returns it; it is in no list yet.
    CCard* Adopt(CCard card);

    // Codes 0..14 append the card to that category's list; any other code does nothing.
    void AddCardToCategory(int code, CCard* card);
    // Codes 0..14 remove the card at that position of that category's list.
    void RemoveCardFromCategory(int code, int position);
    void AddToDeletedList(CCard* card);
    void SetDeletedMark(CCard* card);

    // Deletes a card: marks it, moves it to the deleted-card list and takes it out of
    // its own category list (found by the card itself, so it works whatever list the
    // user was looking at).
    void DeleteCard(CCard* card);
    // Moves a card to another category (0..14), at the end of that list.
    void ChangeCategory(CCard* card, int newCode);

    // Appends every card of the fifteen lists, in the gathering order, to the all-cards
    // array and returns its size. The caller empties the array first.
    int GatherAllCards();
    void EmptyAllCards() { allCards_.clear(); }
    const std::vector<CCard*>& AllCards() const { return allCards_; }
    // Fills the search-result list with every card of the all-cards array that matches;
    // the password is searched only when withPasswords is given.
    void Search(std::string_view text, bool withPasswords = false);
    // Empties the all-cards array, gathers and searches: what the search box does.
    void GatherAndSearch(std::string_view text, bool withPasswords = false);

    // Sum of the stored sizes of every card in the fifteen lists and the deleted list.
    std::uint64_t TotalStoredSize() const;
    // Sum of the stored sizes of every card the collection keeps, listed or not: at least
    // what the lists need. The cards are visited in the order they were taken in, which is
    // mostly their order in memory, so a large collection is read straight through.
    std::uint64_t KeptStoredSize() const;
    // Whether a save would write anything but an empty file: a card in a list, in the
    // deleted-card list or in the recycle bin, or a tombstone.
    bool HoldsCards() const {
        return TotalStoredSize() > 0 || recycleBin_.Count() > 0 || !tombstones_.empty();
    }
    // Number of cards in the fifteen lists (deleted cards not counted).
    int LiveCardCount() const;

    // Calls f on every card the collection keeps, listed or not.
    template <typename F>
    void ForEachOwnedCard(F&& f) {
        for (const std::unique_ptr<CCard>& card : owned_)
            f(*card);
    }

    CCategoryList& List(int code) { return lists_[static_cast<std::size_t>(code)]; }
    const CCategoryList& List(int code) const { return lists_[static_cast<std::size_t>(code)]; }
    CCategoryList& DeletedList() { return deleted_; }
    const CCategoryList& DeletedList() const { return deleted_; }
    // The cards in the recycle bin, in the order they went there (each has RecycledMs()).
    CCategoryList& RecycleBin() { return recycleBin_; }
    const CCategoryList& RecycleBin() const { return recycleBin_; }
    std::vector<Tombstone>& Tombstones() { return tombstones_; }
    const std::vector<Tombstone>& Tombstones() const { return tombstones_; }
    // How many earlier versions each card keeps (0 = none): a setting of the file.
    int HistorySize() const { return historySize_; }
    void SetHistorySize(int v) { historySize_ = v; }
    // Entries of the second sealed layout's payload this version does not know, kept as
    // the encoded bytes read and written back unchanged.
    const std::string& UnknownEntries() const { return unknownEntries_; }
    void SetUnknownEntries(std::string v) { unknownEntries_ = std::move(v); }

    CCategoryList& SearchResults() { return searchResults_; }
    const CCategoryList& SearchResults() const { return searchResults_; }

private:
    std::vector<std::unique_ptr<CCard>> owned_;
    std::array<CCategoryList, kCategoryCount> lists_;
    CCategoryList deleted_;
    CCategoryList searchResults_;
    CCategoryList recycleBin_;
    std::vector<Tombstone> tombstones_;
    int historySize_ = kDefaultHistorySize;
    std::string unknownEntries_;
    std::vector<CCard*> allCards_;
};

// The search rule: the search text occurs in the name, address, user ID, note, a tag or the
// value of a custom field that is not protected (and the password only with withPasswords: a
// search typed where others can see it must not tell what a password holds), both compared
// as they are displayed, with Unicode case folding (see text_folding.h); whole texts compared.
// foldedText is the search text as FoldStoredText gives it.
bool CardMatchesSearch(const CCard& card, std::u32string_view foldedText,
                       bool withPasswords = false);

// Clears every text of every card the collection keeps, where it lies in memory.
void WipeCardTexts(CCardCollection& cards);

}  // namespace tessaline
