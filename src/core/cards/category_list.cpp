#include "core/cards/category_list.h"

#include <algorithm>

namespace tessaline {

int CCategoryList::AddCard(CCard* card) {
    cards_.push_back(card);
    return Count();
}

int CCategoryList::RemoveAt(int i) {
    if (i >= 0 && i < Count())
        cards_.erase(cards_.begin() + i);
    return Count();
}

int CCategoryList::InsertAt(int i, CCard* card) {
    const auto at = i < 0 || i > Count() ? cards_.end() : cards_.begin() + i;
    cards_.insert(at, card);
    return Count();
}

int CCategoryList::IndexOf(const CCard* card) const {
    auto it = std::find(cards_.begin(), cards_.end(), card);
    return it == cards_.end() ? -1 : static_cast<int>(it - cards_.begin());
}

}  // namespace tessaline
