// generate: random passwords from the chosen character classes.

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/base/secure_wipe.h"
#include "core/prefs/password_generator.h"

namespace tessaline::cli {

int RunGenerate(const CliRequest& request, CliContext& ctx) {
    for (int i = 0; i < request.count; ++i) {
        std::optional<std::string> password =
            GenerateRandomPassword(request.classes, request.length);
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
