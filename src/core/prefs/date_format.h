#pragma once
// The card dates as the user chose to see them ("Date Format").

#include <cstdint>
#include <string>

#include "core/cards/card_date.h"

namespace tessaline {

class IProfile;

// The date text of a time stamp with the "Date Format" the user chose.
std::string FormatCardDate(std::uint32_t stamp, const IProfile& profile);
// The "Date Format" preference.
int DateFormatIndex(const IProfile& profile);

}  // namespace tessaline
