#include "cli/new_password.h"

#include <optional>

#include "cli/cli_context.h"
#include "core/base/secure_wipe.h"
#include "core/file/password_check.h"
#include "core/file/password_text.h"

namespace tessaline::cli {

namespace {

// The two labels of the File Encryption dialog.
constexpr const char* kFirstPrompt = "Enter your password (key) below: ";
constexpr const char* kSecondPrompt = "Enter your password (key) again: ";

}  // namespace

bool AskNewPassword(CliContext& ctx, std::string& password) {
    SecureWipe(password);
    std::optional<std::string> first = ctx.passwords.Ask(kFirstPrompt);
    if (!first) {
        ctx.Error(ctx.passwords.Problem());
        return false;
    }
    SecretText firstTyped(std::move(*first));
    SecureWipe(*first);
    // A script gives the new password once; someone typing it blind gives it twice.
    std::optional<std::string> second =
        ctx.passwords.FromTerminalInput() ? ctx.passwords.Ask(kSecondPrompt) : firstTyped.Get();
    if (!second) {
        ctx.Error(ctx.passwords.Problem());
        return false;
    }
    // What was typed becomes key bytes as the desktop program makes them.
    SecretText firstText(PasswordBytesFromTyped(firstTyped.Get()));
    SecretText secondText(PasswordBytesFromTyped(*second));
    SecureWipe(*second);

    const NewPasswordVerdict verdict = AcceptNewPassword(firstText.Get(), secondText.Get());
    if (verdict != NewPasswordVerdict::Accepted) {
        ctx.Error(NewPasswordMessage(verdict));
        return false;
    }
    password = firstText.Get();
    return true;
}

}  // namespace tessaline::cli
