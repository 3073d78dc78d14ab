#pragma once
// One-time-password secrets are written in base32 (letters A-Z and digits 2-7); liboath
// reads them, ignoring spaces and letter case.

#include <optional>
#include <string>
#include <string_view>

namespace tessaline {

// The secret's bytes, or nothing when the text is not base32. The caller wipes them.
std::optional<std::string> DecodeBase32Secret(std::string_view base32);

// The base32 text as an address carries it: capitals, without spaces or trailing "=".
std::string CompactBase32(std::string_view base32);

}  // namespace tessaline
