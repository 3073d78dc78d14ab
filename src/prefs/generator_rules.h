#pragma once
// Rules of the Generate Password dialog that need no window.

#include <string_view>

namespace tessaline {

inline constexpr int kGeneratorSpinMin = 0;
inline constexpr int kGeneratorSpinMax = 15;
inline constexpr int kGeneratorStartLength = 10;

// Whether "Use" is offered: a card must be selected, and the shown category must be one
// whose fourth field is a password ("Show All" and "Search Results" count as such).
bool GeneratorUseEnabled(bool hasSelection, std::string_view selectorText);

// One arrow step of the length spin button, wrapping around at both ends.
int StepGeneratorLength(int value, int step);

// The length the generator is given for a typed length: 0 to 63.
int GeneratorLength(int typed);

inline constexpr const char* kCannotOpenClipboard = "Cannot open the Clipboard.";
inline constexpr const char* kGlobalAllocFailed = "Global Alloc Failed.";
inline constexpr const char* kUnableToSetClipboard = "Unable to set Clipboard data.";

}  // namespace tessaline
