#include "core/views/recycle_bin_questions.h"

#include <string>

#include "core/cards/card.h"
#include "core/cards/text_encoding.h"
#include "core/document/document_model.h"
#include "core/views/card_changes.h"

namespace tessaline {

namespace {

bool AskYes(IUserAnswers& ui, std::string text) {
    return ui.Message(MessageRequest{std::move(text), MsgCaption::Application, MsgIcon::Warning,
                                     MsgButtons::YesNo}) == MsgAnswer::Yes;
}

std::string WithValue(const char* pattern, const std::string& value) {
    std::string text = pattern;
    text.replace(text.find("%1"), 2, value);
    return text;
}

}  // namespace

bool DeletePermanentlyAsking(DocumentModel& doc, CCard* card, IUserAnswers& ui, ChangeTime now) {
    if (card == nullptr)
        return false;
    if (!AskYes(ui, WithValue(recycle_bin_messages::kConfirmDeletePermanently,
                              ShownAsUtf8(card->Name()))))
        return false;
    return DeletePermanently(doc, card, now);
}

int EmptyRecycleBinAsking(DocumentModel& doc, IUserAnswers& ui, ChangeTime now) {
    const int count = doc.Cards().RecycleBin().Count();
    if (count == 0)
        return 0;
    const std::string question =
        count == 1 ? std::string(recycle_bin_messages::kConfirmEmptyOne)
                   : WithValue(recycle_bin_messages::kConfirmEmptyMany, std::to_string(count));
    if (!AskYes(ui, question))
        return 0;
    return EmptyRecycleBin(doc, now);
}

}  // namespace tessaline
