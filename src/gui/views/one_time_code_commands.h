#pragma once
// Card > Copy One-Time Code (Ctrl+T): the selected card's current one-time code goes on
// the clipboard as a secret and is cleared from it as a copied password is.

#include "gui/views/card_edit_commands.h"

namespace tessaline {

// After a copy, status hears what was copied and when the clipboard forgets it; a field
// that gives no code is explained to the user instead.
bool OnCopyOneTimeCode(CTessalineNewView& view, IProfile& profile, IUserAnswers& ui,
                       const StatusMessage& status = {});

}  // namespace tessaline
