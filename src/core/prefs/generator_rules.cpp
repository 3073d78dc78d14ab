#include "core/prefs/generator_rules.h"

#include "core/prefs/password_generator.h"

namespace tessaline {

bool GeneratorUseEnabled(bool hasSelection, std::string_view text) {
    if (!hasSelection)
        return false;
    for (std::string_view name : {"Bank Accounts", "Credit Cards", "ATM/PIN Cards", "Personal Data",
                                  "Software Keys", "Serial Numbers", "Membership Numbers"}) {
        if (text == name)
            return false;
    }
    return true;
}

int StepGeneratorLength(int value, int step) {
    const int span = kGeneratorSpinMax - kGeneratorSpinMin + 1;
    if (value < kGeneratorSpinMin || value > kGeneratorSpinMax) {
        value = value < kGeneratorSpinMin ? kGeneratorSpinMin : kGeneratorSpinMax;
    }
    int v = (value - kGeneratorSpinMin + step) % span;
    if (v < 0)
        v += span;
    return v + kGeneratorSpinMin;
}

int GeneratorLength(int typed) {
    if (typed < 0)
        return 0;
    return typed > kMaxGeneratedLength ? kMaxGeneratedLength : typed;
}

std::optional<std::string> GeneratorHint(int typedLength, bool anyClassChosen) {
    if (typedLength > kMaxGeneratedLength)
        return std::string(kLengthTooLongHint);
    if (!anyClassChosen)
        return std::string(kNoClassHint);
    return std::nullopt;
}

}  // namespace tessaline
