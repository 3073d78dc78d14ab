#pragma once
// Finding a card in what a card list shows, for the window tests.

#include <string>

#include "core/cards/card.h"
#include "gui/views/card_table_model.h"
#include "gui/views/tessaline_view.h"

namespace tessaline::testing {

// The first card the list shows with exactly that name (stored bytes), or null.
inline CCard* CardNamed(CTessalineNewView& view, const std::string& name) {
    for (CCard* card : view.Model()->Rows()) {
        if (card->Name() == name)
            return card;
    }
    return nullptr;
}

}  // namespace tessaline::testing
