#include "core/cards/iso_date_time.h"

#include <ctime>
#include <limits>

namespace tessaline {

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool LeapYear(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(std::int64_t y, int m) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

// Reads exactly `digits` decimal digits at pos.
std::optional<int> Digits(std::string_view text, std::size_t& pos, std::size_t digits) {
    if (pos + digits > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

}  // namespace

std::optional<std::int64_t> ParseIsoDateTimeMs(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::size_t pos = 0;
    const auto year = Digits(text, pos, 4);
    if (!year || !Expect(text, pos, '-'))
        return std::nullopt;
    const auto month = Digits(text, pos, 2);
    if (!month || !Expect(text, pos, '-'))
        return std::nullopt;
    const auto day = Digits(text, pos, 2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month))
        return std::nullopt;
    int hour = 0, minute = 0, second = 0, millis = 0;
    if (pos < text.size()) {
        if (text[pos] != 'T' && text[pos] != 't' && text[pos] != ' ')
            return std::nullopt;
        ++pos;
        const auto h = Digits(text, pos, 2);
        if (!h || !Expect(text, pos, ':'))
            return std::nullopt;
        const auto mi = Digits(text, pos, 2);
        if (!mi)
            return std::nullopt;
        hour = *h;
        minute = *mi;
        if (pos < text.size() && text[pos] == ':') {
            ++pos;
            const auto s = Digits(text, pos, 2);
            if (!s)
                return std::nullopt;
            second = *s;
            if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
                ++pos;
                int scale = 100;
                std::size_t fractionDigits = 0;
                while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
                    millis += (text[pos] - '0') * scale;
                    scale /= 10;
                    ++pos;
                    ++fractionDigits;
                }
                if (fractionDigits == 0)
                    return std::nullopt;
            }
        }
        if (hour > 23 || minute > 59 || second > 60)
            return std::nullopt;
    }
    int offsetMinutes = 0;
    if (pos < text.size()) {
        const char sign = text[pos];
        if (sign == 'Z' || sign == 'z') {
            ++pos;
        } else if (sign == '+' || sign == '-') {
            ++pos;
            const auto oh = Digits(text, pos, 2);
            if (!oh)
                return std::nullopt;
            Expect(text, pos, ':');
            const auto om = Digits(text, pos, 2);
            if (!om || *oh > 23 || *om > 59)
                return std::nullopt;
            offsetMinutes = (*oh * 60 + *om) * (sign == '-' ? -1 : 1);
        } else {
            return std::nullopt;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    const std::int64_t seconds = DaysFromCivil(*year, *month, *day) * 86400 + hour * 3600 +
                                 minute * 60 + second - offsetMinutes * 60;
    return seconds * 1000 + millis;
}

std::uint32_t CardTimeOfUnixMs(std::int64_t ms) {
    const std::time_t at = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    if (!localtime_r(&at, &local))
        return 0;
    const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) -
                              DaysFromCivil(1904, 1, 1);
    const std::int64_t stamp =
        days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    if (stamp < 0 || stamp > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()))
        return 0;
    return static_cast<std::uint32_t>(stamp);
}

}  // namespace tessaline
