#pragma once
// Reading back a tab-delimited export: one card a line, six fields (category code, name,
// address, user ID, password, note), the note taking the rest of the line after the fifth
// tab. The whole text is checked before any card is made,
// so a bad line imports nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card.h"

namespace tessaline {

struct TextImportError {
    int line = 0;  // counted from 1
    std::string what;
};

struct TextImport {
    std::vector<CCard> cards;  // in the order of the lines
    std::optional<TextImportError> error;
};

// A text stored as if the user had typed it: Windows-1252 when every character fits, else
// UTF-8. The text is read as UTF-8; an older export's Windows-1252 field (not UTF-8) reads
// as Windows-1252, as the list shows it.
std::string AsTyped(std::string_view field);

// Lines end in LF or CR LF; empty lines are passed over. Texts are read as UTF-8 and kept
// as typed text is (Windows-1252 when every character fits, else UTF-8). Each card gets the time
// stamp now and the changed mark, as a card made by hand does.
TextImport ParseExportedText(std::string_view text, std::uint32_t now);

}  // namespace tessaline
