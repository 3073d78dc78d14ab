#pragma once
// Card > Open Address: which addresses the desktop's web browser is given.

#include <optional>
#include <string>
#include <string_view>

namespace tessaline {

// The address to hand the desktop for a card's address (as the list shows it): a web,
// file-transfer, mail or news address, with "https://" (or "http://" for a local host)
// in front when it names no scheme, and never with user info ("user:password@" is left
// out). Nothing for an empty address or one of any other scheme ("file:", "javascript:",
// a path on this machine): the desktop would run or show what it names.
std::optional<std::string> AddressToOpen(std::string_view address);

// The status bar's text when a card's address is not opened.
inline constexpr const char* kAddressNotOpened = "The card's address is not a web address.";
inline constexpr const char* kNoAddressToOpen = "The card has no address.";

}  // namespace tessaline
