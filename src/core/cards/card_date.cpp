#include "core/cards/card_date.h"

#include <array>
#include <cctype>
#include <ctime>
#include <limits>

namespace tessaline {

namespace {

constexpr std::array<const char*, kDateFormatCount> kFormats{
    "%m/%d/%y", "%A, %B %d, %Y", "%B, %d, %Y", "%m/%d/%Y", "%Y-%m-%d", "%d-%B-%y",
    "%m.%d.%y", "%B.%d.%y",      "%d-%B-%Y",   "%B, %y",   "%B-%y",    "%d-%m-%Y"};

// Days from 1970-01-01 to a civil date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::uint32_t ClampStamp(std::int64_t seconds) {
    if (seconds < 0)
        return 0;
    if (seconds > std::numeric_limits<std::uint32_t>::max()) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(seconds);
}

// The C library's decimal conversion: leading blanks, a sign, then digits until the
// first non-digit.
int DecimalPrefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100000) {
        value = value * 10 + (text[i++] - '0');
    }
    return negative ? -value : value;
}

std::string_view Slice(std::string_view text, std::size_t from, std::size_t count) {
    if (from >= text.size())
        return {};
    return text.substr(from, count);
}

}  // namespace

const char* DateFormatOfIndex(int index) {
    if (index < 0 || index > 10)
        index = 11;
    return kFormats[static_cast<std::size_t>(index)];
}

std::string FormatCardDate(std::uint32_t stamp, int index) {
    const std::time_t t =
        static_cast<std::time_t>(static_cast<std::int64_t>(stamp) - kSeconds1904To1970);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, DateFormatOfIndex(index), &local);
    return n == 0 ? std::string() : std::string(buffer, n);
}

std::uint32_t CardTimeOfDate(int year, int month, int day) {
    // Let months outside 1..12 roll into neighbouring years, as mktime does.
    std::int64_t y = year, m = month - 1;
    y += m >= 0 ? m / 12 : (m - 11) / 12;
    m = ((m % 12) + 12) % 12 + 1;
    const std::int64_t days = DaysFromCivil(y, m, 1) + (day - 1) - DaysFromCivil(1904, 1, 1);
    return ClampStamp(days * 86400);
}

std::uint32_t CurrentCardTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local))
        return 0;
    const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) -
                              DaysFromCivil(1904, 1, 1);
    return ClampStamp(days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

std::uint32_t CardTimeOfOldDateText(std::string_view text) {
    int year, month, day;
    if (text.find('/') != std::string_view::npos) {
        year = DecimalPrefix(Slice(text, 0, 2)) + 1900;
        month = DecimalPrefix(Slice(text, 3, 2));
        day = DecimalPrefix(Slice(text, 6, 2));
    } else {
        day = DecimalPrefix(Slice(text, 0, 2));
        month = DecimalPrefix(Slice(text, 3, 2));
        year = DecimalPrefix(Slice(text, 6, 4));
    }
    return CardTimeOfDate(year, month, day);
}

}  // namespace tessaline
