// analyze: the cards whose passwords need attention, one row a problem (card, category,
// problem); with --hibp, also the cards whose password a breached-password list holds.

#include <chrono>
#include <optional>

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "cli/display_text.h"
#include "core/cards/categories.h"
#include "core/health/password_health.h"
#include "core/health/pwned_list.h"

namespace tessaline::cli {

int RunAnalyze(const CliRequest& request, CliContext& ctx) {
    // The list is opened first, so that a wrong name is told before any password is asked.
    std::optional<PwnedList> pwned;
    if (request.pwnedList) {
        std::string error;
        pwned = PwnedList::Open(*request.pwnedList, error);
        if (!pwned) {
            ctx.ErrorAbout(*request.pwnedList, error);
            return kExitFailed;
        }
    }

    std::unique_ptr<OpenedFile> file = OpenDataFile(request.files[0], ctx);
    if (!file)
        return kExitFailed;

    const std::vector<const CCard*> cards = CardsToCheck(file->Cards());
    const std::int64_t nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count();
    std::vector<HealthFinding> findings = CheckPasswordHealth(cards, nowMs);
    if (pwned) {
        std::string error;
        std::optional<std::vector<HealthFinding>> breached =
            FindBreachedPasswords(cards, *pwned, error);
        if (!breached) {
            ctx.ErrorAbout(*request.pwnedList, error);
            return kExitFailed;
        }
        findings.insert(findings.end(), breached->begin(), breached->end());
    }

    if (findings.empty()) {
        ctx.out << "No problems found in " << cards.size()
                << (cards.size() == 1 ? " card.\n" : " cards.\n");
    } else {
        ctx.out << "Card\tCategory\tProblem\n";
        for (const HealthFinding& f : findings) {
            ctx.out << DisplayCell(f.card->Name()) << '\t'
                    << CategoryDisplayName(f.card->Category()) << '\t' << DescribeFinding(f)
                    << '\n';
        }
    }
    return file->Damaged() ? kExitFailed : kExitOk;
}

}  // namespace tessaline::cli
