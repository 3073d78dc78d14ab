#pragma once
// What the status bar says after a card's login went into a page.

#include <string>
#include <string_view>

#include "core/browser/browser_interfaces.h"

namespace tessaline {

inline constexpr const char* kStatusUserIdFilled =
    "User ID filled; the password goes in when its page loads.";
inline constexpr const char* kStatusUserIdSubmitted =
    "User ID filled and submitted; the password goes in when its page loads.";
inline constexpr const char* kStatusCurrentPasswordOnly =
    "Only the current password was filled, and the form was not submitted: this is a sign-up "
    "or change-password form.";
inline constexpr const char* kStatusNewPasswordFormNotFilled =
    "Nothing filled: this is a sign-up or change-password form, and a new password is never "
    "filled in.";
// Load Web Page on a card whose address names a scheme other than http or https.
inline constexpr const char* kStatusNotWebAddress =
    "Not opened: the card's address is not a web address (http or https).";

// The site a form's action sends to, as the status bar names it: "https://evil.example",
// "http://127.0.0.1:8080", or the scheme ("javascript:") of an address that is no web
// address.
std::string SiteOfAddress(std::string_view address);

// The status bar's text for a fill; the origin rule's refusals are
// LoginOriginRefusalText's.
std::string LoginFillStatusText(const LoginFillReport& report);

}  // namespace tessaline
