#include "cli/card_lookup.h"

#include "core/cards/card_collection.h"
#include "core/cards/text_encoding.h"

namespace tessaline::cli {

std::vector<const CCard*> CardsNamed(const CCardCollection& cards, std::string_view name) {
    std::vector<const CCard*> found;
    for (int code : kExportOrder) {
        for (const CCard* card : cards.List(code)) {
            if (ShownAsUtf8(card->Name()) == name)
                found.push_back(card);
        }
    }
    return found;
}

}  // namespace tessaline::cli
