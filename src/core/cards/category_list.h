#pragma once
// The cards of one category (or the deleted cards, or a search result), in the order
// they were added. A list only refers to cards; the collection owns them.

#include <span>
#include <string>
#include <vector>

#include "core/cards/card.h"
#include "core/cards/categories.h"

namespace tessaline {

class CCategoryList {
public:
    int Count() const { return static_cast<int>(cards_.size()); }
    CCard* CardAt(int i) const { return cards_[static_cast<std::size_t>(i)]; }
    // Appends the card; returns the new count.
    int AddCard(CCard* card);
    // Removes the card at i (later ones move up). An empty list or a negative or
    // too-large index changes nothing. Returns the count.
    int RemoveAt(int i);
    void Empty() { cards_.clear(); }
    // Puts the card at position i (later ones move down); a position outside the list appends.
    // Returns the new count.
    int InsertAt(int i, CCard* card);
    // Removes every card for which pred is true, keeping the others in order. Returns the
    // count.
    template <typename Pred>
    int RemoveWhere(Pred&& pred) {
        std::erase_if(cards_, pred);
        return Count();
    }
    // Position of the card in this list, or -1.
    int IndexOf(const CCard* card) const;

    const std::string& DisplayName() const { return displayName_; }
    void SetDisplayName(std::string name) { displayName_ = std::move(name); }
    const CategoryLabels& Labels() const { return labels_; }
    void SetLabels(const CategoryLabels& labels) { labels_ = labels; }

    std::span<CCard* const> Cards() const { return cards_; }
    auto begin() const { return cards_.begin(); }
    auto end() const { return cards_.end(); }

private:
    std::vector<CCard*> cards_;
    std::string displayName_;
    CategoryLabels labels_{"Field_1", "Field_2", "Field_3", "Field_4"};
};

}  // namespace tessaline
