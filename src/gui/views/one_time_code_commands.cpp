#include "gui/views/one_time_code_commands.h"

#include <QDateTime>

#include "core/cards/card.h"
#include "core/cards/one_time_code.h"
#include "core/platform/user_answers.h"
#include "core/prefs/preferences.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/text/text_wipe.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

bool OnCopyOneTimeCode(CTessalineNewView& view, IProfile& profile, IUserAnswers& ui,
                       const StatusMessage& status) {
    const CCard* card = view.SelectedCard();
    if (card == nullptr || !HasOtpText(card->OtpUri()))
        return false;
    const OneTimeCode code = OneTimeCodeAt(card->OtpUri(), QDateTime::currentSecsSinceEpoch());
    if (code.code.empty()) {
        ui.Message(
            MessageRequest{code.error, MsgCaption::Application, MsgIcon::Warning, MsgButtons::Ok});
        return false;
    }
    const int seconds = ClearClipboardSeconds(profile);
    QString text = QString::fromStdString(code.code);
    const bool put = SecretClipboard::Instance().Put(text, seconds);
    WipeText(text);
    if (!put)
        return false;
    TellCopied(status, "One-time code", seconds);
    return true;
}

}  // namespace tessaline
