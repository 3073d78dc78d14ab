#pragma once
// Moving out: every card as a line of CSV in the layout KeePassXC writes and reads
// ("Group","Title","Username","Password","URL","Notes","TOTP"), UTF-8, every field
// quoted; TOTP is the card's one-time-password field as an otpauth:// address. The
// group is "Root/" and the card's category, so each category becomes a group there,
// and reading the file back here puts each card into its category again.

#include <string>

namespace tessaline {

class CCardCollection;

// The header line and one line per card of the fifteen lists, in export order; deleted
// cards are not written. Line breaks inside a note are written as LF.
std::string ExportCardsAsCsv(const CCardCollection& cards);

}  // namespace tessaline
