#include "cli/category_operand.h"

#include <charconv>

#include "core/cards/categories.h"

namespace tessaline::cli {

// The category a --category value names: a display name (exact), "Show All", or a code.
std::optional<int> ResolveCategory(const std::string& text) {
    if (text == kShowAll)
        return kShowAllCode;
    if (const int code = CategoryCodeOfName(text); code >= 0)
        return code;
    int code = -1;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (!text.empty() && ec == std::errc() && ptr == text.data() + text.size() && code >= 0 &&
        code < kCategoryCount) {
        return code;
    }
    return std::nullopt;
}

std::string KnownCategories() {
    std::string names;
    for (int code : kExportOrder)
        names += "\"" + CategoryDisplayName(code) + "\", ";
    return names + "\"" + std::string(kShowAll) + "\" or a code from 0 to 14";
}

}  // namespace tessaline::cli
