#include "core/views/text_export.h"

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/card_walk.h"
#include "core/cards/text_encoding.h"

namespace tessaline {

namespace {

// A field as UTF-8, decoded as the list shows it. UTF-8 never uses the bytes of CR and
// LF inside a character, so what follows works on the bytes.
// The caller wipes what it gets.
std::string AsShownUtf8(const std::string& field) {
    if (IsUtf8WithNonAscii(field))
        return field;
    std::string utf8;
    utf8.reserve(field.size() * 3);
    for (char c : field) {
        if (static_cast<unsigned char>(c) < 0x80) {
            utf8.push_back(c);
        } else {
            std::u32string one = DecodeStoredBytes(std::string_view(&c, 1));
            AppendUtf8(utf8, one[0]);
        }
    }
    return utf8;
}

// What a text-mode write does to each line feed.
void AppendAsText(std::string& out, const std::string& field) {
    const SecretText shown(AsShownUtf8(field));
    for (char c : shown.Get()) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
}

}  // namespace

std::string ExportLine(const CCard& card) {
    std::string line = std::to_string(static_cast<unsigned>(card.Category()));
    for (const std::string* field :
         {&card.Name(), &card.Address(), &card.UserId(), &card.Password()}) {
        line.push_back('\t');
        AppendAsText(line, *field);
    }
    line.push_back('\t');
    const SecretText note(AsShownUtf8(card.Note()));
    for (char c : note.Get())
        line.push_back(c == '\n' || c == '\r' ? ' ' : c);
    line += "\r\n";
    return line;
}

std::string ExportCardsAsText(const CCardCollection& cards) {
    std::string out;
    for (int code : kExportOrder) {
        VisitCardsFetchingAhead(cards.List(code).Cards(), [&](const CCard& card) {
            out += ExportLine(card);
            return true;
        });
    }
    return out;
}

}  // namespace tessaline
