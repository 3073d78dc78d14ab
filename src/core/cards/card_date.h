#pragma once
// Card time stamps: unsigned seconds since 1904-01-01 00:00:00 local time, and their
// date texts in the twelve "Date Format" patterns.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaline {

inline constexpr std::int64_t kSeconds1904To1970 = 2082844800;
inline constexpr int kDateFormatCount = 12;

// The strftime pattern of a "Date Format" index; any index outside 0..10 gives index 11's.
const char* DateFormatOfIndex(int index);
// The date text of a time stamp in the format of index; empty when it cannot be formatted.
std::string FormatCardDate(std::uint32_t stamp, int index);
// Now, as a card time stamp.
std::uint32_t CurrentCardTime();
// The time stamp of a date at 00:00:00 (proleptic Gregorian, months and days may overflow).
std::uint32_t CardTimeOfDate(int year, int month, int day);
// An old file's date text ("yy/mm/dd" when it holds a "/", else "dd-mm-yyyy"), as a
// time stamp at midnight.
std::uint32_t CardTimeOfOldDateText(std::string_view text);

}  // namespace tessaline
