#include "cli/card_one_time_code.h"

#include "cli/card_lookup.h"
#include "cli/cli_context.h"
#include "cli/display_text.h"
#include "core/cards/card_collection.h"
#include "core/cards/one_time_code.h"

namespace tessaline::cli {

CardCodeAnswer CardOneTimeCode(const CCardCollection& cards, std::string_view name,
                               std::int64_t unixSeconds) {
    CardCodeAnswer answer;
    const std::string shownName = DisplayCell(name);
    const std::vector<const CCard*> found = CardsNamed(cards, name);
    if (found.empty()) {
        answer.status = kExitFailed;
        answer.error = "no card is named \"" + shownName + "\"";
        return answer;
    }
    if (found.size() > 1) {
        answer.status = kExitUsage;
        answer.error = std::to_string(found.size()) + " cards are named \"" + shownName +
                       "\"; rename one of them (category, user ID):";
        for (const CCard* card : found)
            answer.error +=
                "\n  " + CategoryDisplayName(card->Category()) + "\t" + DisplayCell(card->UserId());
        return answer;
    }
    const CCard& card = *found.front();
    if (!HasOtpText(card.OtpUri())) {
        answer.status = kExitFailed;
        answer.error = "the card \"" + shownName + "\" has no one-time code secret";
        return answer;
    }
    const OneTimeCode code = OneTimeCodeAt(card.OtpUri(), unixSeconds);
    if (code.code.empty()) {
        answer.status = kExitFailed;
        answer.error = "the card \"" + shownName + "\": " + code.error;
        return answer;
    }
    answer.status = kExitOk;
    answer.out = code.code + "\n";
    return answer;
}

}  // namespace tessaline::cli
