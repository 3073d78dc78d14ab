#pragma once
// What a locked document keeps in memory in place of its cards: the cards and the card
// editors the lock closed, sealed together under a key derived from the file's password,
// so that no readable copy of them stays while the document is locked. Opening the seal
// with that password gives back exactly what was sealed.
//
// Inside the seal (integers little-endian): the size of the second sealed layout's payload
// holding every card with its earlier versions, the recycle bin and the tombstones (u32)
// and that payload, then the number of editors (u32) and for each its flags
// (u8: 1 editing a card, 2 new browser window, 4 automatic access), the list and place
// of the card edited (u32 each) and its five texts, each as its size (u32) and bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/message.h"
#include "core/cards/card_collection.h"
#include "core/file/data_file.h"
#include "core/file/sealed_file.h"

namespace tessaline {

// Where a card lies: its list (categories 0..14, then 15 for the deleted cards) and its
// place in that list.
struct CardPlace {
    int list = 0;
    int position = 0;

    friend bool operator==(const CardPlace&, const CardPlace&) = default;
};
std::optional<CardPlace> PlaceOfCard(const CCardCollection& cards, const CCard* card);
// nullptr when there is no card at that place.
CCard* CardAtPlace(CCardCollection& cards, const CardPlace& place);

// What a card editor held when the lock closed it.
struct CardDraft {
    // The card edited (Edit Card), or nothing for a new card.
    std::optional<CardPlace> editing{};
    std::string name{};
    std::string address{};
    std::string userId{};
    std::string password{};
    std::string note{};
    bool newBrowserWindow = false;
    bool automaticAccess = false;
};
// Clears the draft's texts where they lie.
void WipeDraft(CardDraft& draft);

// Seals the cards (with the header value a save writes back) and the drafts. Nothing,
// with the reasons in messages, when they cannot be sealed (no memory for them or for the
// key).
std::optional<std::vector<std::uint8_t>> SealChanges(
    const CCardCollection& cards, std::uint32_t headerValue18, const std::vector<CardDraft>& drafts,
    std::string_view password, const SealSettings& settings, const BusyRunner& whileBusy,
    std::vector<MessageRequest>& messages);

struct UnsealedChanges {
    UnsealStatus status = UnsealStatus::Unreadable;
    // The cards, when Opened; never null.
    std::unique_ptr<CCardCollection> cards = std::make_unique<CCardCollection>();
    std::vector<CardDraft> drafts;
};
// Opens what SealChanges sealed; the cards' date texts follow the date format given.
UnsealedChanges UnsealChanges(std::span<const std::uint8_t> sealed, std::string_view password,
                              int dateFormat, const BusyRunner& whileBusy);

}  // namespace tessaline
