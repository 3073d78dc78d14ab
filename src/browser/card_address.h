#pragma once
// The address Load Web Page sends for a card: the card's address, with the user ID and
// password written in front of the host when the card asks for automatic access.

#include <string>
#include <string_view>

namespace tessaline {

class CCard;

// Every byte outside the unreserved set (letters, digits, "-", ".", "_", "~") becomes
// "%XX", so a credential can never end the user-info part of an address early.
std::string PercentEncodeCredential(std::string_view text);

// The length of the "scheme://" at the start of an address (letters, then letters,
// digits, "+", "-" or "."), or 0 when the address has none.
std::size_t SchemePrefixLength(std::string_view address);

// "WWW Forms" cards and cards without Automatic Access give their address unchanged.
// Otherwise the result is scheme, user ID, ":", password, "@" and the rest of the
// address. An address that already names its scheme keeps it; one that does not gets
// "http://", "ftp://" or "telnet://" by its first character "h", "f" or "t" (lower case
// only), and none for any other character.
std::string ComposeCardAddress(const CCard& card);

}  // namespace tessaline
