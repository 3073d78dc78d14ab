#include "core/views/text_export.h"

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/card_walk.h"
#include "core/cards/text_encoding.h"

namespace tessaline {

namespace {

// Texts are decoded as the list shows them (ShownAsUtf8). UTF-8 never uses the bytes of
// tab, CR and LF inside a character, so what follows works on the bytes.

// A text of one of the first columns: a tab, CR or LF would end the column or the
// line, so each is written as a space. Returns whether there was one.
bool AppendInColumn(std::string& out, const std::string& field) {
    const SecretText shown(ShownAsUtf8(field));
    bool changed = false;
    for (char c : shown.Get()) {
        if (c == '\t' || c == '\r' || c == '\n') {
            changed = true;
            c = ' ';
        }
        out.push_back(c);
    }
    return changed;
}

}  // namespace

std::string ExportLine(const CCard& card, bool* changed) {
    std::string line = std::to_string(static_cast<unsigned>(card.Category()));
    bool replaced = false;
    for (const std::string* field :
         {&card.Name(), &card.Address(), &card.UserId(), &card.Password()}) {
        line.push_back('\t');
        replaced = AppendInColumn(line, *field) || replaced;
    }
    line.push_back('\t');
    const SecretText note(ShownAsUtf8(card.Note()));
    for (char c : note.Get())
        line.push_back(c == '\n' || c == '\r' ? ' ' : c);
    line += "\r\n";
    if (changed != nullptr)
        *changed = replaced;
    return line;
}

std::string ExportCardsAsText(const CCardCollection& cards,
                              std::vector<TextExportChange>* changed) {
    std::string out;
    // Room for the whole text at once (a byte may become three in UTF-8, a line feed two),
    // so that growing leaves no copies of it behind.
    out.reserve(static_cast<std::size_t>(cards.TotalStoredSize()) * 3 +
                static_cast<std::size_t>(cards.LiveCardCount()) * 16);
    for (int code : kExportOrder) {
        VisitCardsFetchingAhead(cards.List(code).Cards(), [&](const CCard& card) {
            bool replaced = false;
            const SecretText line(ExportLine(card, &replaced));
            out += line.Get();
            if (replaced && changed != nullptr) {
                std::string name;
                AppendInColumn(name, card.Name());
                changed->push_back(TextExportChange{card.Category(), std::move(name)});
            }
            return true;
        });
    }
    return out;
}

}  // namespace tessaline
