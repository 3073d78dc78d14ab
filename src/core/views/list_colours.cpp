#include "core/views/list_colours.h"

#include <algorithm>
#include <cmath>

namespace tessaline {

namespace {

double Channel(std::uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// kListBlue moved towards white by t (0 to 1).
Rgb Lightened(double t) {
    auto mix = [t](std::uint8_t from) {
        return static_cast<std::uint8_t>(std::lround(from + (255 - from) * t));
    };
    return Rgb{mix(kListBlue.r), mix(kListBlue.g), mix(kListBlue.b)};
}

}  // namespace

double RelativeLuminance(Rgb c) {
    return 0.2126 * Channel(c.r) + 0.7152 * Channel(c.g) + 0.0722 * Channel(c.b);
}

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableBlueOn(Rgb background) {
    if (ContrastRatio(kListBlue, background) >= kReadableContrast)
        return kListBlue;
    // On a light background a lighter blue only reads worse: pure blue it stays.
    if (RelativeLuminance(background) > RelativeLuminance(kListBlue))
        return kListBlue;
    for (int step = 1; step <= 100; ++step) {
        const Rgb candidate = Lightened(step / 100.0);
        if (ContrastRatio(candidate, background) >= kReadableContrast)
            return candidate;
    }
    return Rgb{255, 255, 255};
}

}  // namespace tessaline
