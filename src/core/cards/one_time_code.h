#pragma once
// The current one-time code of a card's one-time-password field (time-based, RFC 6238),
// computed by liboath, and how long it stays valid.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/cards/otp_uri.h"

namespace tessaline {

// The code of the settings at a time (seconds since 1970 UTC), as digits with leading
// zeros; empty when liboath could not compute it.
std::string TotpCode(const OtpSettings& settings, std::int64_t unixSeconds);

// Seconds until the code of that time changes: 1 to period.
std::int64_t SecondsLeftInPeriod(std::int64_t period, std::int64_t unixSeconds);

struct OneTimeCode {
    std::string code;  // empty when there is none; then error says why
    std::int64_t secondsLeft = 0;
    std::int64_t period = 0;
    std::string error;
    ~OneTimeCode();
};

// The code a card's field gives at a time, or why it gives none.
OneTimeCode OneTimeCodeAt(std::string_view otpText, std::int64_t unixSeconds);

// Whether a card's field holds anything (a secret or an address; spaces do not count).
bool HasOtpText(std::string_view otpText);

}  // namespace tessaline
