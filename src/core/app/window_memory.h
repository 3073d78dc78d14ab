#pragma once
// What the program remembers of its window between runs, in the settings file beside the
// preferences (section "Settings"): the main window's size and place, and the widths of
// the card list's columns.

#include <array>
#include <optional>
#include <string>

namespace tessaline {

class IProfile;

namespace prefs {
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kWindowGeometry = "Window Geometry";  // text, the window's own
inline constexpr const char* kColumnWidths = "Column Widths";      // text, "120,100,..."
}  // namespace prefs

inline constexpr int kRememberedColumnCount = 7;
inline constexpr int kMinColumnWidth = 8;
inline constexpr int kMaxColumnWidth = 4000;
using ColumnWidths = std::array<int, kRememberedColumnCount>;

// "120,100,100,150,100,150,150".
std::string FormatColumnWidths(const ColumnWidths& widths);
// Seven whole numbers separated by commas, each within the limits above; nothing else.
std::optional<ColumnWidths> ParseColumnWidths(const std::string& text);

// The widths stored, or fallback when none (or nothing sensible) is stored.
ColumnWidths LoadColumnWidths(const IProfile& profile, const ColumnWidths& fallback);
void SaveColumnWidths(IProfile& profile, const ColumnWidths& widths);

// The main window's title: "NAME[*] — Tessaline" with the active document's title (the
// "[*]" shows "*" while it has unsaved changes), or just "Tessaline". The program's name
// is at the end, where the desktop expects it, and only once.
std::string FrameTitle(const std::string& documentTitle);

}  // namespace tessaline
