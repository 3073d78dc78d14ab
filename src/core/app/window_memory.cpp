#include "core/app/window_memory.h"

#include <charconv>

#include "core/platform/profile.h"

namespace tessaline {

namespace {
constexpr const char* kProgramName = "Tessaline";
}

std::string FormatColumnWidths(const ColumnWidths& widths) {
    std::string out;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i > 0)
            out += ',';
        out += std::to_string(widths[i]);
    }
    return out;
}

std::optional<ColumnWidths> ParseColumnWidths(const std::string& text) {
    ColumnWidths widths{};
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i > 0) {
            if (p == end || *p != ',')
                return std::nullopt;
            ++p;
        }
        int value = 0;
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || next == p || value < kMinColumnWidth || value > kMaxColumnWidth)
            return std::nullopt;
        widths[i] = value;
        p = next;
    }
    if (p != end)
        return std::nullopt;
    return widths;
}

ColumnWidths LoadColumnWidths(const IProfile& profile, const ColumnWidths& fallback) {
    return ParseColumnWidths(profile.GetText(prefs::kSettingsSection, prefs::kColumnWidths, ""))
        .value_or(fallback);
}

void SaveColumnWidths(IProfile& profile, const ColumnWidths& widths) {
    profile.WriteText(prefs::kSettingsSection, prefs::kColumnWidths, FormatColumnWidths(widths));
}

std::string FrameTitle(const std::string& documentTitle) {
    if (documentTitle.empty())
        return kProgramName;
    // A literal "[*]" in a file name must not become the modified mark.
    std::string escaped;
    for (std::size_t i = 0; i < documentTitle.size();) {
        if (documentTitle.compare(i, 3, "[*]") == 0) {
            escaped += "[*][*]";
            i += 3;
        } else {
            escaped += documentTitle[i++];
        }
    }
    return escaped + "[*] \u2014 " + kProgramName;
}

}  // namespace tessaline
