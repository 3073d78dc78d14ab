// totp: the current one-time code of a card, on the standard output.

#include <chrono>

#include "cli/card_lookup.h"
#include "cli/card_one_time_code.h"
#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "core/base/secure_wipe.h"

namespace tessaline::cli {

int RunTotp(const CliRequest& request, CliContext& ctx) {
    if (!CardRequestNamesOne(request, ctx))
        return kExitUsage;
    std::unique_ptr<OpenedFile> file = OpenDataFile(request.files[0], ctx);
    if (!file)
        return kExitFailed;
    const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    int status = kExitOk;
    const CCard* card = FindRequestedCard(file->Cards(), request, ctx, status);
    if (!card)
        return status;
    CardCodeAnswer answer = CardOneTimeCode(*card, now);
    if (!answer.error.empty())
        ctx.ErrorAbout(request.files[0], answer.error);
    ctx.out << answer.out;
    ctx.out.flush();
    SecureWipe(answer.out);
    return answer.status;
}

}  // namespace tessaline::cli
