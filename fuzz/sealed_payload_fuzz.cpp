// Feeds arbitrary bytes to the second sealed layout's payload reader, past the seal.
// Whatever the bytes hold, reading must neither crash nor read outside them; a payload
// that reads must write back as a payload that reads to the same, and writing that again
// must give the same bytes (the encoding is deterministic). A mismatch aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "core/cards/card_collection.h"
#include "core/file/sealed_payload.h"

namespace {

using namespace tessaline;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "sealed payload round trip: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CCardCollection cards;
    const PayloadRead read = DecodePayload(std::span(data, size), 0, cards);
    if (!read.ok)
        return 0;
    // Tombstones are kept for a year before the time written: all of them, at time 0.
    const LockedBytes first = EncodePayload(cards, read.settings, 0);
    CCardCollection again;
    const PayloadRead reread = DecodePayload(first, 0, again);
    if (!reread.ok)
        Fail("a payload written does not read");
    if (reread.version != kPayloadVersion || reread.droppedCards != 0)
        Fail("version or cards dropped");
    if (again.LiveCardCount() != cards.LiveCardCount() ||
        again.RecycleBin().Count() != cards.RecycleBin().Count() ||
        again.DeletedList().Count() != cards.DeletedList().Count()) {
        Fail("card counts differ");
    }
    const LockedBytes second = EncodePayload(again, reread.settings, 0);
    // Cards that had no identity were given new ones in the first write; the second keeps
    // them, so from there on the bytes repeat.
    CCardCollection third;
    if (!DecodePayload(second, 0, third).ok)
        Fail("second payload does not read");
    const LockedBytes repeated = EncodePayload(third, reread.settings, 0);
    if (!std::equal(second.begin(), second.end(), repeated.begin(), repeated.end()))
        Fail("the same cards were written as different bytes");
    return 0;
}
