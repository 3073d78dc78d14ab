#pragma once
// How hard a password is to guess, as the zxcvbn estimator sees it: the bits (log2 of the
// guesses an attacker would need) and a word for them.

#include <string>
#include <string_view>

namespace tessaline {

enum class StrengthWord { Poor, Weak, Good, Excellent };

// The words' lower bounds in bits: below 40 poor, below 65 weak, below 100 good, else
// excellent.
inline constexpr double kWeakFromBits = 40;
inline constexpr double kGoodFromBits = 65;
inline constexpr double kExcellentFromBits = 100;

struct PasswordStrength {
    double bits = 0;
    StrengthWord word = StrengthWord::Poor;
};

StrengthWord StrengthWordOfBits(double bits);
// "poor", "weak", "good" or "excellent".
const char* StrengthWordText(StrengthWord word);
// "52 bits, weak".
std::string StrengthText(const PasswordStrength& strength);

// The strength of a password given as UTF-8. The copy handed to the estimator is wiped, and
// so is the stack the estimator used.
PasswordStrength EstimateStrength(std::string_view utf8Password);
// The same for a card's stored password bytes (read as the list shows them).
PasswordStrength EstimateStoredStrength(std::string_view storedPassword);

}  // namespace tessaline
