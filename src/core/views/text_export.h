#pragma once
// Export To Text: one tab-delimited line per card, in clear text.

#include <string>

namespace tessaline {

class CCard;
class CCardCollection;

// One card's line: code, name, address, user ID, password, note (line breaks in the
// note become spaces), ending in CR LF. The file is written as text, so every line feed
// left inside the other fields also goes out as CR LF. Each text goes out in UTF-8 as the
// list shows it, whatever bytes the card keeps, so that the whole export is one encoding.
std::string ExportLine(const CCard& card);
// Every card of the fifteen lists in export order; deleted cards and search results are
// not written.
std::string ExportCardsAsText(const CCardCollection& cards);

}  // namespace tessaline
