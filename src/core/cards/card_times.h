#pragma once
// A card's two clocks: the 32-bit time stamp the older layouts store (seconds since
// 1904-01-01, read the way the date texts read it) and the milliseconds since 1970 UTC
// that the second sealed layout stores. An older file's stamp gives both the created and
// the modified time; an older layout's stamp is worked out from the modified time.

#include <cstdint>

#include "core/cards/card.h"

namespace tessaline {

// The milliseconds the stamp stands for.
std::int64_t MsOfCardStamp(std::uint32_t stamp);
// The stamp of a time in milliseconds, the second it falls in; clamped to what a stamp
// can hold.
std::uint32_t CardStampOfMs(std::int64_t ms);

// The card's modified time in milliseconds. When the stamp and the milliseconds disagree
// (the card was changed by code that set only one of them), the later of the two: a
// change is never dated before itself.
std::int64_t EffectiveModifiedMs(const CCard& card);
// The stamp an older layout stores for the card: from its modified time.
std::uint32_t LegacyStampOf(const CCard& card);
// A card read from an older layout: created and modified both from its stamp.
void TimesFromStamp(CCard& card);
// Stamps the card as changed at nowMs: the milliseconds and the stamp agree.
void StampCardChanged(CCard& card, std::int64_t nowMs);

}  // namespace tessaline
