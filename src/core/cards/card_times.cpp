#include "core/cards/card_times.h"

#include <algorithm>
#include <limits>

#include "core/cards/card_date.h"

namespace tessaline {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::int64_t MsOfCardStamp(std::uint32_t stamp) {
    return (static_cast<std::int64_t>(stamp) - kSeconds1904To1970) * 1000;
}

std::uint32_t CardStampOfMs(std::int64_t ms) {
    const std::int64_t seconds = FloorDiv(ms, 1000) + kSeconds1904To1970;
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(seconds, 0, std::numeric_limits<std::uint32_t>::max()));
}

std::int64_t EffectiveModifiedMs(const CCard& card) {
    const std::int64_t ms = card.ModifiedMs();
    if (ms != 0 && CardStampOfMs(ms) == card.ModificationTime())
        return ms;
    const std::int64_t fromStamp = MsOfCardStamp(card.ModificationTime());
    if (ms == 0)
        return fromStamp;
    return std::max(ms, fromStamp);
}

std::uint32_t LegacyStampOf(const CCard& card) {
    return CardStampOfMs(EffectiveModifiedMs(card));
}

void TimesFromStamp(CCard& card) {
    const std::int64_t ms = MsOfCardStamp(card.ModificationTime());
    card.SetCreatedMs(ms);
    card.SetModifiedMs(ms);
}

void StampCardChanged(CCard& card, std::int64_t nowMs) {
    card.SetModifiedMs(nowMs);
    card.SetModificationTime(CardStampOfMs(nowMs));
}

}  // namespace tessaline
