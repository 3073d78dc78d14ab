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
// "ftp://" or "telnet://" by its first character "f" or "t" (lower case only), and
// "http://" for any other: credentials are never written where the browser would read
// them as the scheme.
std::string ComposeCardAddress(const CCard& card);

// Whether Load Web Page logs in with the card's user ID and password: Automatic Access
// set, and the card is not a "WWW Forms" card.
bool UsesAutomaticLogin(const CCard& card);

// The card's address as the browser must be given it: with the scheme the composing rule
// above gives an address that names none, and no credentials.
std::string CardAddressWithScheme(const CCard& card);

// The address the automation browser is given for `address`: unchanged when it names a
// scheme ("https://…", "about:blank", "mailto:…"); otherwise a web address with the
// scheme its host gets by WebSchemeForHost ("www.example.org/login" opens as
// "https://www.example.org/login", "127.0.0.1:8080/x" and "localhost:3000" as "http://…"),
// the scheme the login rule gives the card's address. "host:8080" is a host and port,
// not a scheme.
std::string WebAddressToOpen(std::string_view address);

// Whether an address WebAddressToOpen gave is a web page's (its scheme, in any case, is
// http or https). Any other scheme ("javascript:", "data:", "file:") would have the
// browser run, show or read something that is not the card's site.
bool IsWebPageAddress(std::string_view address);

// The address without the user-info part ("user:password@" before the host) of its
// authority, for every scheme; everything else stays as it is.
std::string StripUserInfo(std::string_view address);

}  // namespace tessaline
