#include "core/cards/otp_uri.h"

#include <charconv>
#include <vector>

#include "core/base/secure_wipe.h"
#include "core/cards/base32_secret.h"

namespace tessaline {

namespace {

constexpr std::string_view kScheme = "otpauth://";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// %XX becomes its byte; a "%" not followed by two hexadecimal digits stays as it is. In a
// query value "+" is a space, as forms write it.
std::string PercentDecoded(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.push_back(plusIsSpace && c == '+' ? ' ' : c);
    }
    return out;
}

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::optional<std::int64_t> WholeNumber(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

OtpReading Refused(std::string message) {
    return OtpReading{std::nullopt, std::move(message)};
}

// The secret must be base32 and hold at least one byte.
std::optional<std::string> SecretProblem(std::string_view secret) {
    if (Trim(secret).empty())
        return std::string("The one-time code secret is empty.");
    std::optional<std::string> bytes = DecodeBase32Secret(secret);
    if (!bytes) {
        return std::string(
            "The one-time code secret is not base32: use only the letters A to Z and the "
            "digits 2 to 7.");
    }
    const bool empty = bytes->empty();
    SecureWipe(*bytes);
    if (empty)
        return std::string("The one-time code secret is empty.");
    return std::nullopt;
}

OtpReading ReadAddress(std::string_view text) {
    std::string_view rest = text.substr(kScheme.size());
    const std::size_t typeEnd = rest.find_first_of("/?");
    const std::string type = Lower(rest.substr(0, typeEnd));
    if (type == "hotp") {
        return Refused(
            "Counter-based one-time codes (otpauth://hotp/) are not supported; only "
            "time-based ones (otpauth://totp/) are.");
    }
    if (type != "totp") {
        return Refused("\"" + type +
                       "\" is not a kind of one-time code this program knows; only "
                       "time-based ones (otpauth://totp/) are supported.");
    }
    rest = typeEnd == std::string_view::npos ? std::string_view{}
           : rest[typeEnd] == '/'            ? rest.substr(typeEnd + 1)
                                             : rest.substr(typeEnd);
    const std::size_t question = rest.find('?');
    const std::string_view label = rest.substr(0, question);
    const std::string_view query =
        question == std::string_view::npos ? std::string_view{} : rest.substr(question + 1);

    OtpSettings s;
    // The label is "issuer:account". A colon written as it is parts them, so that an
    // issuer holding an encoded colon stays whole; else the first encoded one does.
    if (const std::size_t colon = label.find(':'); colon != std::string_view::npos) {
        s.issuer = Trim(PercentDecoded(label.substr(0, colon), false));
        s.account = Trim(PercentDecoded(label.substr(colon + 1), false));
    } else {
        const std::string labelText = PercentDecoded(label, false);
        const std::size_t encoded = labelText.find(':');
        s.issuer =
            Trim(std::string_view(labelText).substr(0, encoded == std::string::npos ? 0 : encoded));
        s.account =
            Trim(encoded == std::string::npos ? std::string_view(labelText)
                                              : std::string_view(labelText).substr(encoded + 1));
    }

    bool haveSecret = false;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string_view::npos)
            end = query.size();
        const std::string_view pair = query.substr(start, end - start);
        start = end + 1;
        if (pair.empty())
            continue;
        const std::size_t equals = pair.find('=');
        const std::string key = Lower(PercentDecoded(pair.substr(0, equals), true));
        std::string value = equals == std::string_view::npos
                                ? std::string()
                                : PercentDecoded(pair.substr(equals + 1), true);
        if (key == "secret") {
            SecureWipe(s.secret);
            s.secret = std::move(value);
            haveSecret = true;
        } else if (key == "issuer") {
            s.issuer = std::move(value);
        } else if (key == "algorithm") {
            const std::string name = Lower(value);
            if (name == "sha1")
                s.algorithm = OtpAlgorithm::Sha1;
            else if (name == "sha256")
                s.algorithm = OtpAlgorithm::Sha256;
            else if (name == "sha512")
                s.algorithm = OtpAlgorithm::Sha512;
            else
                return Refused("The one-time code algorithm \"" + value +
                               "\" is not known: use SHA1, SHA256 or SHA512.");
        } else if (key == "digits") {
            const auto digits = WholeNumber(value);
            if (!digits || *digits < kOtpMinDigits || *digits > kOtpMaxDigits)
                return Refused("A one-time code has 6 to 8 digits, not \"" + value + "\".");
            s.digits = static_cast<int>(*digits);
        } else if (key == "period") {
            const auto period = WholeNumber(value);
            if (!period || *period < 1 || *period > kOtpMaxPeriod)
                return Refused(
                    "The one-time code period must be a whole number of seconds "
                    "from 1 to 2147483647, not \"" +
                    value + "\".");
            s.period = *period;
        }
        // Other entries (counter, image, ...) do not change a time-based code.
    }
    if (!haveSecret)
        return Refused("The otpauth:// address has no secret.");
    if (auto problem = SecretProblem(s.secret))
        return Refused(std::move(*problem));
    return OtpReading{std::move(s), {}};
}

}  // namespace

OtpSettings::~OtpSettings() {
    SecureWipe(secret);
}

bool IsOtpAddress(std::string_view text) {
    text = Trim(text);
    return text.size() >= kScheme.size() && Lower(text.substr(0, kScheme.size())) == kScheme;
}

OtpReading ReadOtpText(std::string_view text) {
    text = Trim(text);
    if (IsOtpAddress(text))
        return ReadAddress(text);
    if (text.find("://") != std::string_view::npos)
        return Refused("Only an otpauth:// address or a base32 secret gives one-time codes.");
    if (auto problem = SecretProblem(text))
        return Refused(std::move(*problem));
    OtpSettings s;
    s.secret = text;
    return OtpReading{std::move(s), {}};
}

const char* OtpAlgorithmName(OtpAlgorithm algorithm) {
    switch (algorithm) {
        case OtpAlgorithm::Sha256:
            return "SHA256";
        case OtpAlgorithm::Sha512:
            return "SHA512";
        case OtpAlgorithm::Sha1:
            break;
    }
    return "SHA1";
}

OtpField::~OtpField() {
    SecureWipe(text);
}

OtpField OtpFieldFromTyped(std::string_view typed, std::string_view issuer,
                           std::string_view account) {
    OtpField field;
    OtpReading reading = ReadOtpText(typed);
    if (!reading.settings) {
        field.error = std::move(reading.error);
        return field;
    }
    if (IsOtpAddress(typed)) {
        field.text = Trim(typed);
        return field;
    }
    reading.settings->issuer = Trim(issuer);
    reading.settings->account = Trim(account);
    // A card without a user ID is named once, not "Bank:Bank".
    if (reading.settings->account == reading.settings->issuer)
        reading.settings->account.clear();
    field.text = BuildOtpUri(*reading.settings);
    return field;
}

std::string BuildOtpUri(const OtpSettings& s) {
    std::string label;
    if (!s.issuer.empty() && !s.account.empty())
        label = PercentEncoded(s.issuer) + ":" + PercentEncoded(s.account);
    else
        label = PercentEncoded(s.issuer.empty() ? s.account : s.issuer);
    SecretText secret(CompactBase32(s.secret));
    std::string uri = std::string(kScheme) + "totp/" + label + "?secret=" + secret.Get();
    if (!s.issuer.empty())
        uri += "&issuer=" + PercentEncoded(s.issuer);
    uri += std::string("&algorithm=") + OtpAlgorithmName(s.algorithm) +
           "&digits=" + std::to_string(s.digits) + "&period=" + std::to_string(s.period);
    return uri;
}

}  // namespace tessaline
