#pragma once
// What the second sealed layout seals: every card of a document and the file's settings
// as one CBOR map in the core deterministic encoding, described in CDDL in
// docs/file-format.md. Texts are UTF-8 in the payload; in memory they stay the bytes an
// older layout would store (shown and typed by the rules of text_encoding.h). Entries of
// a map this version does not know (in the payload, a card or an earlier version) are
// kept as their encoded bytes and written back where their keys sort.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/cards/card_collection.h"
#include "core/file/locked_memory.h"

namespace tessaline {

// The payload version this program writes; a larger one is read, but opens read-only.
inline constexpr std::uint64_t kPayloadVersion = 1;
// A tombstone stays in the file for a year after its card was deleted.
inline constexpr std::int64_t kTombstoneKeepMs = std::int64_t{365} * 24 * 60 * 60 * 1000;

// Whether a save keeps the tombstone, at nowMs.
bool TombstoneKept(const Tombstone& tombstone, std::int64_t nowMs);

// The file's values of the older layouts' header, kept to be written back unchanged.
struct PayloadSettings {
    std::uint8_t revision = 6;
    std::uint32_t headerValue18 = 0;
};

// The payload for the cards: the lists in file order (categories 0..14, each in list
// order), the recycle bin, the handheld's deleted cards (name and handheld fields only)
// and the tombstones a save keeps at nowMs. A card without an identity is written with
// a new one (see GiveMissingIdentities for making it stay). Throws std::bad_alloc.
LockedBytes EncodePayload(const CCardCollection& cards, const PayloadSettings& settings,
                          std::int64_t nowMs);

struct PayloadRead {
    bool ok = false;            // false: no payload of ours (nothing was read)
    std::uint64_t version = 0;  // the payload's version
    PayloadSettings settings;
    std::size_t droppedCards = 0;  // cards of a category this version does not know
};
// Reads a payload into cards, the card date texts in the "Date Format" dateFormat. When
// it fails, the texts of the cards read so far are wiped: the caller drops the collection.
PayloadRead DecodePayload(std::span<const std::uint8_t> payload, int dateFormat,
                          CCardCollection& cards);

// Gives every card that has none (read from a layout without identities) an identity,
// so that it keeps the same one from the next save on.
void GiveMissingIdentities(CCardCollection& cards);

}  // namespace tessaline
