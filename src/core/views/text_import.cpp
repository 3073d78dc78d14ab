#include "core/views/text_import.h"

#include <charconv>
#include <iterator>

#include "core/base/secure_wipe.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"
#include "core/file/data_file.h"

namespace tessaline {

namespace {

constexpr const char* kFieldNames[6] = {"category code", "name",     "address",
                                        "user ID",       "password", "note"};

// The fields of a line. The note is the last field and takes everything after the fifth
// tab, tabs included: files written while the card editor still let a tab into a note
// must import as they were.
std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab =
            fields.size() + 1 < std::size(kFieldNames) ? line.find('\t') : std::string_view::npos;
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

std::optional<int> ParseCategoryCode(std::string_view field) {
    int code = -1;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, code);
    if (field.empty() || ec != std::errc() || ptr != end || code < 0 || code >= kCategoryCount) {
        return std::nullopt;
    }
    return code;
}

// Why a line cannot become a card, or nothing when it can.
std::optional<std::string> CheckLine(const std::vector<std::string_view>& fields) {
    if (fields.size() < 6) {
        return "a card needs 6 fields separated by tabs (category code, name, address, "
               "user ID, password, note); this line has " +
               std::to_string(fields.size());
    }
    if (!ParseCategoryCode(fields[0])) {
        return "the category code must be a number from 0 to 14, not \"" +
               std::string(fields[0].substr(0, 20)) + "\"";
    }
    for (std::size_t i = 1; i < 6; ++i) {
        // A zero byte would end the text early in the data file and shift every field after it.
        if (fields[i].find('\0') != std::string_view::npos) {
            return "the " + std::string(kFieldNames[i]) +
                   " holds a zero byte, which a data file "
                   "cannot store";
        }
        if (fields[i].size() > kMaxTextLength) {
            return "the " + std::string(kFieldNames[i]) + " has " +
                   std::to_string(fields[i].size()) + " characters; a data file holds at most " +
                   std::to_string(kMaxTextLength);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string AsTyped(std::string_view field) {
    std::u32string chars = DecodeStoredBytes(field);
    std::string bytes = EncodeTypedText(chars);
    SecureWipe(chars.data(), chars.size() * sizeof(char32_t));
    return bytes;
}

TextImport ParseExportedText(std::string_view text, std::uint32_t now) {
    TextImport result;
    // Other programs may start the text with a UTF-8 byte-order mark.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            continue;

        const std::vector<std::string_view> fields = SplitTabs(line);
        if (std::optional<std::string> problem = CheckLine(fields)) {
            result.cards.clear();
            result.error = TextImportError{lineNumber, std::move(*problem)};
            return result;
        }
        CCard card;
        card.SetCategory(static_cast<std::uint8_t>(*ParseCategoryCode(fields[0])));
        card.SetName(AsTyped(fields[1]));
        card.SetAddress(AsTyped(fields[2]));
        card.SetUserId(AsTyped(fields[3]));
        card.SetPassword(AsTyped(fields[4]));
        card.SetNote(AsTyped(fields[5]));
        card.SetModificationTime(now);
        card.SetChanged(true);
        result.cards.push_back(std::move(card));
    }
    return result;
}

}  // namespace tessaline
