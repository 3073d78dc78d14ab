#include "core/browser/address_to_open.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/browser/card_address.h"

namespace tessaline {

namespace {

constexpr std::array<std::string_view, 9> kOpenedSchemes{"http",   "https", "ftp",  "ftps", "sftp",
                                                         "mailto", "news",  "nntp", "ssh"};

std::string LowerScheme(std::string_view address) {
    const std::size_t colon = address.find(':');
    std::string scheme(address.substr(0, colon == std::string_view::npos ? 0 : colon));
    std::ranges::transform(scheme, scheme.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return scheme;
}

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<std::string> AddressToOpen(std::string_view address) {
    address = Trimmed(address);
    // A path on this machine ("/home/me/other.tse", "./x") is no web address.
    if (address.empty() || address.front() == '/' || address.front() == '.' ||
        address.front() == '~')
        return std::nullopt;
    const std::string full = StripUserInfo(WebAddressToOpen(address));
    const std::string scheme = LowerScheme(full);
    if (std::ranges::find(kOpenedSchemes, scheme) == kOpenedSchemes.end())
        return std::nullopt;
    return full;
}

}  // namespace tessaline
