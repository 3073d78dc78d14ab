#include "core/cards/one_time_code.h"

#include <liboath/oath.h>

#include <ctime>

#include "core/base/secure_wipe.h"
#include "core/cards/base32_secret.h"
#include "core/cards/oath_library.h"

namespace tessaline {

namespace {

int OathFlags(OtpAlgorithm algorithm) {
    switch (algorithm) {
        case OtpAlgorithm::Sha256:
            return OATH_TOTP_HMAC_SHA256;
        case OtpAlgorithm::Sha512:
            return OATH_TOTP_HMAC_SHA512;
        case OtpAlgorithm::Sha1:
            break;
    }
    return 0;
}

}  // namespace

std::string TotpCode(const OtpSettings& settings, std::int64_t unixSeconds) {
    if (settings.digits < kOtpMinDigits || settings.digits > kOtpMaxDigits || settings.period < 1 ||
        settings.period > kOtpMaxPeriod || unixSeconds < 0)
        return {};
    std::optional<std::string> key = DecodeBase32Secret(settings.secret);
    if (!key || key->empty())
        return {};
    EnsureOathLibrary();
    char digits[kOtpMaxDigits + 1] = {};
    const int rc = oath_totp_generate2(key->data(), key->size(), static_cast<time_t>(unixSeconds),
                                       static_cast<unsigned>(settings.period), 0,
                                       static_cast<unsigned>(settings.digits),
                                       OathFlags(settings.algorithm), digits);
    SecureWipe(*key);
    std::string code = rc == OATH_OK ? std::string(digits) : std::string();
    SecureWipe(digits, sizeof digits);
    return code;
}

std::int64_t SecondsLeftInPeriod(std::int64_t period, std::int64_t unixSeconds) {
    if (period < 1)
        return 0;
    const std::int64_t into = ((unixSeconds % period) + period) % period;
    return period - into;
}

OneTimeCode::~OneTimeCode() {
    SecureWipe(code);
}

OneTimeCode OneTimeCodeAt(std::string_view otpText, std::int64_t unixSeconds) {
    OneTimeCode result;
    OtpReading reading = ReadOtpText(otpText);
    if (!reading.settings) {
        result.error = std::move(reading.error);
        return result;
    }
    result.code = TotpCode(*reading.settings, unixSeconds);
    if (result.code.empty()) {
        result.error = "The one-time code could not be computed.";
        return result;
    }
    result.period = reading.settings->period;
    result.secondsLeft = SecondsLeftInPeriod(result.period, unixSeconds);
    return result;
}

bool HasOtpText(std::string_view otpText) {
    return otpText.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

}  // namespace tessaline
