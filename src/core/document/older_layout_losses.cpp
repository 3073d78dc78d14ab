#include "core/document/older_layout_losses.h"

#include <vector>

#include "core/base/message_texts.h"
#include "core/cards/categories.h"
#include "core/platform/user_answers.h"

namespace tessaline {

namespace {

constexpr const char* kSealButton = "Seal the File";
constexpr const char* kSaveWithoutButton = "Save Without Them";

std::string Counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void Count(const CCard& card, OlderLayoutLosses& losses) {
    losses.earlierVersions += card.History().size();
    if (card.HasOptionalFields())
        ++losses.cardsWithOptionalFields;
}

}  // namespace

OlderLayoutLosses LossesInOlderLayout(const CCardCollection& cards) {
    OlderLayoutLosses losses;
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const CCard* card : cards.List(code))
            Count(*card, losses);
    }
    for (const CCard* card : cards.RecycleBin()) {
        ++losses.recycledCards;
        Count(*card, losses);
    }
    return losses;
}

std::string OlderLayoutLossMessage(const OlderLayoutLosses& losses, const std::string& name,
                                   bool canSeal) {
    std::vector<std::string> parts;
    if (losses.recycledCards > 0)
        parts.push_back(
            Counted(losses.recycledCards, "card in the recycle bin", "cards in the recycle bin"));
    if (losses.earlierVersions > 0)
        parts.push_back(Counted(losses.earlierVersions, "earlier version of a card",
                                "earlier versions of cards"));
    if (losses.cardsWithOptionalFields > 0)
        parts.push_back("the expiry, tags, one-time password and custom fields of " +
                        Counted(losses.cardsWithOptionalFields, "card", "cards"));
    std::string list;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            list += i + 1 == parts.size() ? " and " : ", ";
        list += parts[i];
    }
    std::string text = name + " is saved in a layout that cannot keep " + list + ".";
    if (canSeal) {
        text +=
            "\n\nSeal the file instead? A sealed file keeps all of it, but older readers "
            "cannot open it. If you save without them, they stay in this window until it "
            "is closed but are not in the file.";
    } else {
        text +=
            "\n\nThis file keeps its layout for the handheld. If you save, they stay in this "
            "window until it is closed but are not in the file.";
    }
    return text;
}

OlderLayoutChoice AskAboutOlderLayout(IUserAnswers& ui, const OlderLayoutLosses& losses,
                                      const std::string& name, bool canSeal) {
    const MessageRequest question{OlderLayoutLossMessage(losses, name, canSeal),
                                  MsgCaption::Application, MsgIcon::Warning,
                                  canSeal ? MsgButtons::YesNoCancel : MsgButtons::YesNo};
    std::vector<std::string> buttons;
    if (canSeal)
        buttons.push_back(kSealButton);
    buttons.push_back(kSaveWithoutButton);
    buttons.push_back(msg::kCancelButton);
    const std::size_t answer = ui.AskWithButtons(question, buttons, 0);
    if (canSeal) {
        if (answer == 0)
            return OlderLayoutChoice::Seal;
        return answer == 1 ? OlderLayoutChoice::SaveWithout : OlderLayoutChoice::Cancel;
    }
    return answer == 0 ? OlderLayoutChoice::SaveWithout : OlderLayoutChoice::Cancel;
}

}  // namespace tessaline
