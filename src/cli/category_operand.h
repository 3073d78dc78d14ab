#pragma once
// A category as the command line names it: its display name, "Show All", or its code.

#include <optional>
#include <string>

namespace tessaline::cli {

inline constexpr int kShowAllCode = -1;

// The category a value names: a display name (exact), "Show All" (kShowAllCode), or a code
// 0..14. Nothing for anything else.
std::optional<int> ResolveCategory(const std::string& text);
// "\"WWW Sites\", ..., \"Show All\" or a code from 0 to 14": what a value may be.
std::string KnownCategories();

}  // namespace tessaline::cli
