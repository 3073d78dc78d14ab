#pragma once
// Moving in from another password manager: the CSV files that KeePassXC, Chromium,
// Firefox and Bitwarden export become cards. The first line names the columns, and so
// the program the file came from. An entry with an address becomes a WWW Sites card,
// one without a Miscellaneous card, unless its group or folder is named after one of our
// categories. A TOTP secret (KeePassXC's "TOTP", Bitwarden's "login_totp") becomes the
// card's one-time-password field as it was written; the group and the other columns worth
// keeping are written into the card's note. The whole file is checked before any card is
// made: a bad line imports nothing.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card.h"
#include "core/cards/categories.h"

namespace tessaline {

class CCardCollection;

enum class CsvSource { Auto, KeePassXc, Chromium, Firefox, Bitwarden };

// "auto", "keepassxc", "chromium", "firefox", "bitwarden" (as typed, case ignored).
std::optional<CsvSource> CsvSourceFromName(std::string_view name);
// "KeePassXC", "Chromium", "Firefox", "Bitwarden"; "" for Auto.
std::string_view CsvSourceTitle(CsvSource source);

struct CsvImportError {
    int line = 0;  // counted from 1; 0 when the file itself could not be read
    std::string what;
};

struct CsvImport {
    std::vector<CCard> cards;            // in the order of the lines
    CsvSource source = CsvSource::Auto;  // the layout read
    std::optional<CsvImportError> error;
    bool unknownLayout = false;  // the first line names no program's columns
};

// Reads the text of a CSV export. With CsvSource::Auto the first line must name the
// columns of one of the four exports. With a source named, the first line is its
// header when it names that program's columns; otherwise every line is an entry with
// the columns in that program's order. Texts arrive as UTF-8 and are stored as typed
// text is; each card gets the time stamp now and the changed mark.
CsvImport ImportCsv(std::string_view text, CsvSource source, std::uint32_t now);

using CategoryCounts = std::array<int, kCategoryCount>;
CategoryCounts CountPerCategory(const std::vector<CCard>& cards);
// One text per category that got cards, in category code order: "WWW Sites: 2".
std::vector<std::string> CategoryCountLines(const CategoryCounts& counts);
// "1 card", "3 cards".
std::string CardCountText(int count);

// Files the cards into their categories' lists (the collection keeps them); cards is
// empty afterwards.
void AddImportedCards(std::vector<CCard>& cards, CCardCollection& collection);

}  // namespace tessaline
