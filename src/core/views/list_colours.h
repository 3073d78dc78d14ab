#pragma once
// The card list's text is blue. On a light background that is pure blue (0, 0, 255); on a
// dark one pure blue can hardly be read, so the blue is lightened until it stands out
// from the background as well as ordinary text should (a contrast of at least 4.5 : 1).

#include <cstdint>

namespace tessaline {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kListBlue{0, 0, 255};
inline constexpr double kReadableContrast = 4.5;

// Relative luminance and contrast ratio as the web's accessibility rules define them.
double RelativeLuminance(Rgb c);
double ContrastRatio(Rgb a, Rgb b);

// The blue to draw list text in over background: kListBlue when it reads well there,
// otherwise the least lightened blue that does.
Rgb ReadableBlueOn(Rgb background);

}  // namespace tessaline
