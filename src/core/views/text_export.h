#pragma once
// Export To Text: one tab-delimited line per card, in clear text.

#include <string>
#include <vector>

namespace tessaline {

class CCard;
class CCardCollection;

// A card whose name, address, user ID or password held a tab or a line break, which the
// export wrote as a space so that every text stays in its own column.
struct TextExportChange {
    int category = 0;
    std::string name;  // UTF-8, as the line shows it
};

// One card's line: code, name, address, user ID, password, note, ending in CR LF. A tab
// or a line break inside the name, address, user ID or password is written as a space
// (otherwise the text would spill into the next column, or the next line, when the file
// is read back); *changed says whether that happened. Line breaks in the note become
// spaces too; tabs in the note are kept, as the last column takes the rest of the line.
// Each text goes out in UTF-8 as the list shows it, whatever bytes the card keeps, so
// that the whole export is one encoding.
std::string ExportLine(const CCard& card, bool* changed = nullptr);
// Every card of the fifteen lists in export order; deleted cards and search results are
// not written. changed (may be null) receives the cards whose texts lost a tab or a line
// break, in export order.
std::string ExportCardsAsText(const CCardCollection& cards,
                              std::vector<TextExportChange>* changed = nullptr);

}  // namespace tessaline
