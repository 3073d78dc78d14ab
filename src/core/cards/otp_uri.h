#pragma once
// A card's one-time-password field: an otpauth://totp/ address (or a bare base32 secret,
// which means SHA-1, 6 digits, 30 seconds) read into its settings and written back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaline {

enum class OtpAlgorithm { Sha1, Sha256, Sha512 };

inline constexpr int kOtpMinDigits = 6;
inline constexpr int kOtpMaxDigits = 8;
inline constexpr std::int64_t kOtpDefaultPeriod = 30;
inline constexpr std::int64_t kOtpMaxPeriod = 2147483647;

struct OtpSettings {
    std::string secret;   // base32, as given
    std::string issuer;   // UTF-8; may be empty
    std::string account;  // UTF-8; the label's part after "issuer:"
    OtpAlgorithm algorithm = OtpAlgorithm::Sha1;
    int digits = 6;
    std::int64_t period = kOtpDefaultPeriod;  // seconds

    OtpSettings() = default;
    OtpSettings(const OtpSettings&) = default;
    OtpSettings& operator=(const OtpSettings&) = default;
    ~OtpSettings();
};

// The settings the text stands for, or a message saying why it cannot be used.
struct OtpReading {
    std::optional<OtpSettings> settings;
    std::string error;
};

// Reads an otpauth://totp/LABEL?secret=..&issuer=..&algorithm=..&digits=..&period=..
// address, or a bare base32 secret. Spaces around the text do not count. The secret must
// be base32 and not empty, digits 6 to 8, the period at least one second; counter-based
// (hotp) addresses are refused.
OtpReading ReadOtpText(std::string_view text);

// Whether the text looks like an otpauth:// address (its scheme, letter case ignored).
bool IsOtpAddress(std::string_view text);

// The otpauth://totp/ address of the settings, every part percent-encoded: the label is
// "issuer:account" (or the one that is not empty), then secret (compact base32), issuer,
// algorithm, digits and period.
std::string BuildOtpUri(const OtpSettings& settings);

// What a card's one-time-password field becomes from what the user typed: an otpauth://
// address as it was typed (once it reads), a bare base32 secret as an address whose label
// is issuer:account (UTF-8; the card's name and user ID). Nothing, with the reason, for
// anything that gives no codes.
struct OtpField {
    std::string text;   // empty when the typed text gives no codes
    std::string error;  // why not
    ~OtpField();
};
OtpField OtpFieldFromTyped(std::string_view typed, std::string_view issuer,
                           std::string_view account);

// The name an address uses for an algorithm: "SHA1", "SHA256", "SHA512".
const char* OtpAlgorithmName(OtpAlgorithm algorithm);

}  // namespace tessaline
