#pragma once
// Random passwords from chosen character classes, drawn from the operating system's
// secure random source, each character uniformly from the alphabet.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tessaline {

inline constexpr int kMaxGeneratedLength = 63;

struct PasswordClasses {
    bool upper = true;
    bool lower = true;
    bool numbers = true;
    bool others = false;
};

// Fills data with bytes from the operating system's secure random source; false when it
// gave none.
bool FillSecureRandom(std::uint8_t* data, std::size_t size);

// Upper case, lower case, digits, then the printable ASCII punctuation, for the chosen
// classes in that order.
std::string PasswordAlphabet(const PasswordClasses& classes);

// A password of length characters (limited to 0..63). std::nullopt when no class is
// chosen or the random source failed.
std::optional<std::string> GenerateRandomPassword(const PasswordClasses& classes, int length);

}  // namespace tessaline
