#pragma once
// What a card list shows, for GUI tests.

#include <QStringList>

#include "gui/views/tessaline_view.h"

namespace tessaline::testing {

// The names in the list's first column, top to bottom, as the user reads them.
inline QStringList ListedNames(CTessalineNewView& view) {
    QStringList out;
    for (int r = 0; r < view.ItemCount(); ++r)
        out << view.List()->model()->index(r, 0).data().toString();
    return out;
}

}  // namespace tessaline::testing
