#pragma once
// Walking a large document's cards in list order. The card objects and their texts lie
// all over the heap, far beyond the caches, and visiting them one by one waits on main
// memory for each card and then again for each of its texts: the time per card grows
// with the document. So the walk asks early for the card some places ahead, and for the
// texts of a nearer one, whose card has arrived by then; the waits overlap instead of
// adding up.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/cards/card.h"

namespace tessaline {

namespace card_walk {

inline constexpr std::size_t kCardsAhead = 16;
inline constexpr std::size_t kTextsAhead = 8;

inline void FetchEarly(const void* p) {
    __builtin_prefetch(p);
}

// A card object spans several cache lines (its start need not be at the start of one);
// its texts' sizes and places and its flags are spread over them.
inline void FetchCardEarly(const CCard* card) {
    constexpr std::uintptr_t kLine = 64;
    const auto first = reinterpret_cast<std::uintptr_t>(card) & ~(kLine - 1);
    const auto last = reinterpret_cast<std::uintptr_t>(card) + sizeof(CCard) - 1;
    for (std::uintptr_t line = first; line <= last; line += kLine)
        FetchEarly(reinterpret_cast<const void*>(line));
}

inline void FetchTextsEarly(const CCard& card) {
    for (const std::string* text :
         {&card.Name(), &card.Address(), &card.UserId(), &card.Password(), &card.Note()})
        FetchEarly(text->data());
}

}  // namespace card_walk

// Calls visit(card) on every card in order, as long as it returns true; returns whether
// every card was visited.
template <typename Visit>
bool VisitCardsFetchingAhead(std::span<CCard* const> cards, Visit visit) {
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (i + card_walk::kCardsAhead < cards.size())
            card_walk::FetchCardEarly(cards[i + card_walk::kCardsAhead]);
        if (i + card_walk::kTextsAhead < cards.size())
            card_walk::FetchTextsEarly(*cards[i + card_walk::kTextsAhead]);
        if (!visit(*cards[i]))
            return false;
    }
    return true;
}

}  // namespace tessaline
