// generate: random passwords from the chosen character classes, or passphrases of words
// from the EFF large word list.

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/base/secure_wipe.h"
#include "core/prefs/passphrase_generator.h"
#include "core/prefs/password_generator.h"

namespace tessaline::cli {

int RunGenerate(const CliRequest& request, CliContext& ctx) {
    std::vector<std::string> words;
    if (request.passphrase) {
        std::string error;
        std::optional<std::vector<std::string>> list = LoadInstalledEffWordList(error);
        if (!list) {
            ctx.Error(error);
            return kExitFailed;
        }
        words = std::move(*list);
    }
    for (int i = 0; i < request.count; ++i) {
        std::optional<std::string> password =
            request.passphrase ? GeneratePassphrase(words, request.words, request.separator)
                               : GenerateRandomPassword(request.classes, request.length);
        if (!password) {
            ctx.Error("the system's random source gave no data; no password was made");
            return kExitFailed;
        }
        ctx.out << *password << '\n';
        SecureWipe(*password);
    }
    return kExitOk;
}

}  // namespace tessaline::cli
