#include "cli/card_one_time_code.h"

#include "cli/cli_context.h"
#include "cli/display_text.h"
#include "core/cards/card.h"
#include "core/cards/one_time_code.h"

namespace tessaline::cli {

CardCodeAnswer CardOneTimeCode(const CCard& card, std::int64_t unixSeconds) {
    CardCodeAnswer answer;
    const std::string shownName = DisplayCell(card.Name());
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
