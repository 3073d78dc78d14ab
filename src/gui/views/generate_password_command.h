#pragma once
// "Generate Password...": the generator dialog, and its "Use" on the selected card.

#include <QString>

#include "gui/views/card_edit_commands.h"

class QWidget;

namespace tessaline {

class CTessalineNewView;
class IProfile;
class IUserAnswers;

// "Generate Password..." (32810). activeView may be null. "Use" asks before replacing the
// selected card's password; "To Clipboard" says so through status.
void OnGeneratePassword(QWidget* parent, IUserAnswers& ui, IProfile& profile,
                        CTessalineNewView* activeView, const StatusMessage& status = {});
// "Use" of the generator: the selected card's password becomes text.
bool UseGeneratedPassword(CTessalineNewView& view, IProfile& profile, const QString& text);

}  // namespace tessaline
