#pragma once
// File > Import...: asks for the CSV export of another password manager, reads it and
// hands back its cards, or tells the user why nothing can be imported from it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/cards/card.h"
#include "core/views/csv_import.h"

namespace tessaline {

class IUserAnswers;

// The largest file taken for an export; anything bigger is not one.
inline constexpr std::uint64_t kMaxCsvFileSize = 64ull * 1024 * 1024;

struct CsvCardsChosen {
    std::string fileName;  // without its folder, for the messages
    CsvSource source = CsvSource::Auto;
    std::vector<CCard> cards;
};

// The file chooser, then the file. Nothing when the user cancelled, the file could not
// be read or a line of it is bad (then the reason was shown), or it holds no entries
// (then that was said).
std::optional<CsvCardsChosen> AskForCsvCards(IUserAnswers& ui, std::uint32_t now);

// The cards of a CSV file. A file that cannot be read (missing, not a regular file, too
// large) is an error of line 0.
CsvImport ReadCsvFile(const std::string& path, CsvSource source, std::uint32_t now);

// Where File > Import... puts the cards when a file is open.
enum class ImportTarget { OpenFile, NewFile, Cancel };
// Asks whether the cards go into the open file (named by openTitle) or into a new one.
ImportTarget AskImportTarget(IUserAnswers& ui, const CsvCardsChosen& chosen,
                             const std::string& openTitle);

// What the user is told after the cards were added to the document.
std::string CsvImportedMessage(const CsvCardsChosen& chosen);

}  // namespace tessaline
