#include "core/browser/card_address.h"

#include <array>

#include "core/browser/login_origin.h"
#include "core/cards/card.h"

namespace tessaline {

namespace {

constexpr std::uint8_t kWwwFormsCategory = 1;

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsUnreserved(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// The prefix an address without a scheme gets, by its first character.
std::string_view PrefixForFirstCharacter(char first) {
    switch (first) {
        case 'f':
            return "ftp://";
        case 't':
            return "telnet://";
        default:
            return "http://";
    }
}

}  // namespace

std::string PercentEncodeCredential(std::string_view text) {
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) {
        if (IsUnreserved(c)) {
            out += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
}

std::size_t SchemePrefixLength(std::string_view address) {
    if (address.empty() || !IsAsciiLetter(address[0]))
        return 0;
    std::size_t i = 1;
    while (i < address.size() && (IsAsciiLetter(address[i]) || IsAsciiDigit(address[i]) ||
                                  address[i] == '+' || address[i] == '-' || address[i] == '.'))
        ++i;
    if (address.substr(i, 3) != "://")
        return 0;
    return i + 3;
}

bool UsesAutomaticLogin(const CCard& card) {
    return card.Category() != kWwwFormsCategory && card.AutomaticAccess();
}

std::string CardAddressWithScheme(const CCard& card) {
    const std::string& address = card.Address();
    if (SchemePrefixLength(address) > 0)
        return address;
    return std::string(PrefixForFirstCharacter(address.empty() ? 'h' : address[0])) + address;
}

std::string ComposeCardAddress(const CCard& card) {
    const std::string& address = card.Address();
    if (!UsesAutomaticLogin(card))
        return address;

    std::string credentials = PercentEncodeCredential(card.UserId()) + ":" +
                              PercentEncodeCredential(card.Password()) + "@";
    if (std::size_t scheme = SchemePrefixLength(address); scheme > 0)
        return address.substr(0, scheme) + credentials + address.substr(scheme);
    std::string_view prefix = PrefixForFirstCharacter(address.empty() ? 'h' : address[0]);
    return std::string(prefix) + credentials + address;
}

std::string WebAddressToOpen(std::string_view address) {
    // A scheme is a letter, then letters, digits, "+", "-" or ".", then ":"; what follows
    // a host name's ":" is its port, digits up to the path.
    std::size_t i = 0;
    if (!address.empty() && IsAsciiLetter(address[0])) {
        i = 1;
        while (i < address.size() && (IsAsciiLetter(address[i]) || IsAsciiDigit(address[i]) ||
                                      address[i] == '+' || address[i] == '-' || address[i] == '.'))
            ++i;
    }
    if (i > 0 && i < address.size() && address[i] == ':') {
        std::size_t digits = i + 1;
        while (digits < address.size() && IsAsciiDigit(address[digits]))
            ++digits;
        const bool port = digits == address.size() ||
                          (digits > i + 1 && (address[digits] == '/' || address[digits] == '?' ||
                                              address[digits] == '#'));
        if (!port)
            return std::string(address);
    }
    // "//host/path" already has the slashes of an authority.
    const std::string_view rest = address.starts_with("//") ? address.substr(2) : address;
    const std::optional<WebOrigin> origin = ParseWebOrigin(rest, true);
    const std::string scheme = origin ? origin->scheme : std::string("https");
    return scheme + "://" + std::string(rest);
}

bool IsWebPageAddress(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos)
        return false;
    std::string scheme(address.substr(0, colon));
    for (char& c : scheme)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return (scheme == "http" || scheme == "https") && address.substr(colon, 3) == "://";
}

std::string StripUserInfo(std::string_view address) {
    // The authority follows "scheme://" (or "//" alone) and ends at the first "/", "?" or
    // "#"; its user info ends at the last "@" inside it.
    std::size_t start = SchemePrefixLength(address);
    if (start == 0 && address.substr(0, 2) == "//")
        start = 2;
    // Addresses without an authority ("mailto:joe@example.com") have no user info.
    if (start == 0)
        return std::string(address);
    const std::size_t end = address.find_first_of("/?#", start);
    const std::size_t at =
        address.substr(start, end == std::string_view::npos ? end : end - start).rfind('@');
    if (at == std::string_view::npos)
        return std::string(address);
    return std::string(address.substr(0, start)) + std::string(address.substr(start + at + 1));
}

}  // namespace tessaline
