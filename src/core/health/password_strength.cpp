#include "core/health/password_strength.h"

#include <zxcvbn.h>

#include <cmath>

#include "core/base/secure_wipe.h"
#include "core/base/stack_wipe.h"
#include "core/cards/text_encoding.h"

namespace tessaline {

StrengthWord StrengthWordOfBits(double bits) {
    if (bits < kWeakFromBits)
        return StrengthWord::Poor;
    if (bits < kGoodFromBits)
        return StrengthWord::Weak;
    if (bits < kExcellentFromBits)
        return StrengthWord::Good;
    return StrengthWord::Excellent;
}

const char* StrengthWordText(StrengthWord word) {
    switch (word) {
        case StrengthWord::Poor:
            return "poor";
        case StrengthWord::Weak:
            return "weak";
        case StrengthWord::Good:
            return "good";
        case StrengthWord::Excellent:
            return "excellent";
    }
    return "poor";
}

std::string StrengthText(const PasswordStrength& strength) {
    const auto bits = static_cast<long long>(std::floor(strength.bits));
    return std::to_string(bits) + (bits == 1 ? " bit, " : " bits, ") +
           StrengthWordText(strength.word);
}

PasswordStrength EstimateStrength(std::string_view utf8Password) {
    if (utf8Password.empty())
        return {};
    // The estimator takes a text that ends in a zero byte; a zero byte inside ends it early,
    // which only makes the estimate lower.
    SecretText copy{std::string(utf8Password)};
    double bits = ZxcvbnMatch(copy.Get().c_str(), nullptr, nullptr);
    WipeStackBelow();
    if (!std::isfinite(bits) || bits < 0)
        bits = 0;
    return PasswordStrength{bits, StrengthWordOfBits(bits)};
}

PasswordStrength EstimateStoredStrength(std::string_view storedPassword) {
    SecretText shown{ShownAsUtf8(storedPassword)};
    return EstimateStrength(shown.Get());
}

}  // namespace tessaline
