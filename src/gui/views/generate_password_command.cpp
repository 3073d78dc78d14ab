#include "gui/views/generate_password_command.h"

#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/prefs/preferences.h"
#include "core/views/card_changes.h"
#include "core/views/card_commands.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/generate_password_dialog.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/text/text_codec.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

bool UseGeneratedPassword(CTessalineNewView& view, IProfile& profile, const QString& text) {
    if (!UseGeneratedPassword(view.Document().Model(), view.SelectedCard(), StoredText(text),
                              profile, ChangeTimeNow()))
        return false;
    CCard* card = view.SelectedCard();
    // The card changed: a close or an automatic save must not lose it.
    MarkCardsChanged(view.Document(), view.ShownCategory());
    view.SelectCard(card);
    return true;
}

void OnGeneratePassword(QWidget* parent, IUserAnswers& ui, IProfile& profile,
                        CTessalineNewView* activeView, const StatusMessage& status) {
    const int seconds = ClearClipboardSeconds(profile);
    CGeneratePasswordDialog dialog(ui, SecretClipboard::Instance(), seconds, parent);
    QObject::connect(&dialog, &CGeneratePasswordDialog::PasswordCopied, &dialog,
                     [&status, seconds] { TellCopied(status, "Generated password", seconds); });
    if (activeView != nullptr) {
        dialog.SetActiveList(activeView->SelectedCard() != nullptr, activeView->ShownCategory());
        // The old password is not replaced without a word; No goes back to the dialog.
        dialog.confirmUse = [activeView, &ui] {
            return ConfirmPasswordReplace(activeView->SelectedCard(), ui);
        };
    }
    if (dialog.exec() != QDialog::Accepted || activeView == nullptr)
        return;
    UseGeneratedPassword(*activeView, profile, dialog.Password());
}

}  // namespace tessaline
