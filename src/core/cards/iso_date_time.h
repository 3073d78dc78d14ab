#pragma once
// Dates and times as other password managers write them into their exports
// ("2024-03-05T14:07:09Z"), and as the card's old time stamp keeps them.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaline {

// Milliseconds since 1970 UTC of an ISO 8601 date and time: "YYYY-MM-DD", then "T" or a
// space and "hh:mm" or "hh:mm:ss" with optional fractions of a second, then "Z", "+hh:mm",
// "-hh:mm" or nothing (nothing: UTC, as the exports mean it). Nothing for any other text
// or a date that does not exist.
std::optional<std::int64_t> ParseIsoDateTimeMs(std::string_view text);

// The card's old time stamp (seconds since 1904 in local time) of a moment in
// milliseconds since 1970 UTC; 0 when it is out of the stamp's range.
std::uint32_t CardTimeOfUnixMs(std::int64_t ms);

}  // namespace tessaline
