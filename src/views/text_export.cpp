#include "views/text_export.h"

#include "cards/card_collection.h"

namespace tessaline {

namespace {

// What a text-mode write does to each line feed.
void AppendAsText(std::string& out, const std::string& field) {
    for (char c : field) {
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
    for (char c : card.Note())
        line.push_back(c == '\n' || c == '\r' ? ' ' : c);
    line += "\r\n";
    return line;
}

std::string ExportCardsAsText(const CCardCollection& cards) {
    std::string out;
    for (int code : kExportOrder) {
        for (const CCard* card : cards.List(code))
            out += ExportLine(*card);
    }
    return out;
}

}  // namespace tessaline
