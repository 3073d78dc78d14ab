#pragma once
// Rules of the Generate Password dialog that need no window.

#include <optional>
#include <string>
#include <string_view>

namespace tessaline {

// The arrows of the length box step through every length the generator makes; it opens
// on 20 characters of all four classes, strong enough today.
inline constexpr int kGeneratorSpinMin = 0;
inline constexpr int kGeneratorSpinMax = 63;
inline constexpr int kGeneratorStartLength = 20;

// Whether "Use" is offered: a card must be selected, and the shown category must be one
// whose fourth field is a password ("Show All" and "Search Results" count as such).
bool GeneratorUseEnabled(bool hasSelection, std::string_view selectorText);

// One arrow step of the length spin button, wrapping around at both ends.
int StepGeneratorLength(int value, int step);

// The length the generator is given for a typed length: 0 to 63.
int GeneratorLength(int typed);

// The largest length the length box takes as typed; anything from 64 up to it is shown
// and refused with kLengthTooLongHint rather than cut silently.
inline constexpr int kGeneratorTypedMax = 999;
inline constexpr const char* kLengthTooLongHint =
    "A password can have at most 63 characters: please type a smaller length.";
inline constexpr const char* kNoClassHint =
    "Tick at least one of Uppercase, Lowercase, Numbers or Others.";
// Why no password can be made from these settings, or nothing when one can. "New" and
// "Use" are offered only when nothing stands in the way.
std::optional<std::string> GeneratorHint(int typedLength, bool anyClassChosen);

inline constexpr const char* kCannotOpenClipboard = "Cannot open the Clipboard.";
inline constexpr const char* kGlobalAllocFailed = "Global Alloc Failed.";
inline constexpr const char* kUnableToSetClipboard = "Unable to set Clipboard data.";

}  // namespace tessaline
