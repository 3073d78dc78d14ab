#include "core/views/category_search.h"

#include <algorithm>

#include "core/base/secure_wipe.h"
#include "core/cards/categories.h"
#include "core/views/card_list_model.h"

namespace tessaline {

namespace {
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    return true;
}

int FindEntryStartingWith(const std::vector<std::string>& entries, std::string_view text,
                          int startAfter) {
    const int n = static_cast<int>(entries.size());
    if (n == 0)
        return -1;
    const int first = (startAfter < 0 || startAfter >= n) ? 0 : startAfter + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        if (StartsWithNoCase(entries[static_cast<std::size_t>(i)], text))
            return i;
    }
    return -1;
}

std::array<std::string, 4> ColumnTitlesFor(std::string_view text) {
    CategoryLabels labels;
    if (text == kShowAll || text == kSearchResults || text == kRecycleBin ||
        LabelsByName(text, labels) == 0) {
        return {kMixedColumnTitles[0], kMixedColumnTitles[1], kMixedColumnTitles[2],
                kMixedColumnTitles[3]};
    }
    return {labels[0], labels[2], labels[3], labels[1]};
}

std::optional<std::size_t> SearchHistory::Add(const std::string& text) {
    for (const std::string& e : entries_)
        if (StartsWithNoCase(e, text))
            return std::nullopt;
    auto at = std::upper_bound(
        entries_.begin(), entries_.end(), text,
        [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    const auto index = static_cast<std::size_t>(at - entries_.begin());
    entries_.insert(at, text);
    return index;
}

void SearchHistory::Clear() {
    for (std::string& e : entries_)
        SecureWipe(e);
    entries_.clear();
}

}  // namespace tessaline
