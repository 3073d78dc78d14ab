// passwd: encipher a data file under a new password, or store it without encryption.

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "cli/layout_choice.h"
#include "cli/new_password.h"
#include "core/base/secure_wipe.h"
#include "core/document/write_target.h"

namespace tessaline::cli {

int RunPasswd(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files[0];
    // Refused before any password is asked: the answer could not change it.
    if (request.encryption == TargetEncryption::Plain && HasEncryptedName(path)) {
        RefusePlainUnderEncryptedName(path, ctx);
        ctx.ErrorAbout(path, "not changed");
        return kExitFailed;
    }
    // Both passwords are asked before the file is locked, so that nobody waiting at a
    // prompt keeps other programs from saving it.
    std::unique_ptr<OpenedFile> file = OpenDataFile(path, ctx);
    if (!file)
        return kExitFailed;
    if (file->WouldLoseData()) {
        RefuseLossyRewrite(*file, ctx);
        return kExitFailed;
    }
    SecretText password;
    if (request.encryption != TargetEncryption::Plain && !AskNewPassword(ctx, password.Get())) {
        ctx.ErrorAbout(path, "not changed");
        return kExitFailed;
    }

    // Held from reading the file again until the new file is in place, so that no other
    // writer's change is lost.
    const std::optional<DataFileLock> lock = LockDataFile(path, ctx);
    if (!lock || !ReadAgainIfChanged(*file, *lock, ctx))
        return kExitFailed;
    FileCipherState& cipher = file->Cipher();
    if (request.encryption == TargetEncryption::Plain) {
        cipher.encryptOnSave = false;
        SecureWipe(cipher.encryptionPassword);
    } else {
        cipher.encryptionPassword = password.Get();
        // An encrypted file keeps its layout, a plain one is sealed, unless asked otherwise.
        ApplyLayoutChoice(request, cipher.encryptOnSave ? cipher.sealed : true, cipher);
        cipher.encryptOnSave = true;
    }
    if (!SaveDataFile(path, file->Cards(), cipher, *lock, ctx))
        return kExitFailed;

    ctx.out << path << ": "
            << (!cipher.encryptOnSave ? "stored without encryption"
                : cipher.sealed       ? "sealed under the new password"
                                      : "enciphered under the new password (compatible layout)");
    const FileFormat format = file->read.format;
    if (format == FileFormat::Version1001 || format == FileFormat::Version1002) {
        ctx.out << ", converted from " << FormatName(format) << " to the current format";
    }
    ctx.out << '\n';
    return kExitOk;
}

}  // namespace tessaline::cli
