// import: make a data file from the lines of a tab-delimited export, or add them to an
// existing data file.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "cli/import_into.h"
#include "cli/layout_choice.h"
#include "cli/new_password.h"
#include "core/base/secure_wipe.h"
#include "core/cards/card_versions.h"
#include "core/document/write_target.h"
#include "core/file/safe_file.h"
#include "core/prefs/date_format.h"
#include "core/views/csv_import.h"
#include "core/views/text_import.h"

namespace tessaline::cli {

namespace {

// The standard input is held to the limit of a file: a source without end (/dev/zero, a
// runaway pipe) is refused once it passes it.
std::optional<std::vector<std::uint8_t>> ReadStandardInput(FileError& error) {
    return ReadAllWithin(0, "the standard input", kMaxReadableFileSize, error);
}

bool ReadTextSource(const std::string& path, CliContext& ctx, std::vector<CCard>& cards) {
    FileError error;
    std::optional<std::vector<std::uint8_t>> data =
        path == "-" ? ReadStandardInput(error) : ReadWholeFile(path, error);
    if (!data) {
        ctx.Error(error.what);
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
    TextImport parsed = ParseExportedText(text, CurrentCardTime());
    SecureWipe(data->data(), data->size());
    if (parsed.error) {
        ctx.ErrorAbout(path == "-" ? "standard input" : path,
                       "line " + std::to_string(parsed.error->line) + ": " + parsed.error->what +
                           "; nothing was imported");
        return false;
    }
    cards = std::move(parsed.cards);
    return true;
}

int AddCards(std::vector<CCard>& from, CCardCollection& cards) {
    const int added = static_cast<int>(from.size());
    const ChangeTime now = ChangeTimeNow();
    for (CCard& card : from) {
        // Each is a new card: its own identity, made now.
        if (!HasIdentity(card.Identity()))
            StampNewCard(card, now.ms);
        const int code = card.Category();
        cards.AddCardToCategory(code, cards.Adopt(std::move(card)));
    }
    from.clear();
    return added;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool EndsWithTse(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".tse") == 0;
}

// Whether writing the target will ask for a password: a new password for a new enciphered
// file, or the password of an existing enciphered one.
bool TargetNeedsPassword(const CliRequest& request, const std::string& target, bool exists) {
    if (!exists) {
        return request.encryption == TargetEncryption::Encrypt ||
               (request.encryption == TargetEncryption::Default && EndsWithTse(target));
    }
    FileError error;
    std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(target, error);
    if (!bytes)
        return false;  // reading it again says why it cannot be used
    const bool encrypted = InspectHeader(*bytes).encrypted;
    SecureWipe(bytes->data(), bytes->size());
    return encrypted;
}

// How a new target is stored: enciphered when asked, or when its name says so.
bool ChooseNewTargetCipher(const CliRequest& request, const std::string& target,
                           FileCipherState& cipher, CliContext& ctx) {
    bool encrypt = false;
    bool newPassword = false;
    switch (request.encryption) {
        case TargetEncryption::Plain:
            break;
        case TargetEncryption::Encrypt:
            encrypt = newPassword = true;
            break;
        case TargetEncryption::Default:
            encrypt = newPassword = EndsWithTse(target);
            break;
    }
    if (!encrypt) {
        cipher.encryptOnSave = false;
        SecureWipe(cipher.encryptionPassword);
        return true;
    }
    if (newPassword) {
        std::string password;
        if (!AskNewPassword(ctx, password))
            return false;
        cipher.encryptionPassword = password;
        SecureWipe(password);
    }
    // A new enciphered file is sealed unless --compatible asks otherwise.
    ApplyLayoutChoice(request, true, cipher);
    cipher.encryptOnSave = true;
    return true;
}

}  // namespace

int RunImport(const CliRequest& request, CliContext& ctx) {
    return RunImportFrom(request, ctx, ImportSource{ReadTextSource, false});
}

int RunImportFrom(const CliRequest& request, CliContext& ctx, const ImportSource& source) {
    const std::string& sourcePath = request.files[0];
    const std::string& target = request.files[1];

    struct stat st;
    const bool targetExists = ::lstat(target.c_str(), &st) == 0;
    if (!targetExists && errno != ENOENT) {
        ctx.ErrorAbout(target, std::strerror(errno));
        return kExitFailed;
    }
    // A file that holds no cards yet (an empty file, say) is made as a new one: encrypted
    // when its name or --encrypt says so, and readable by its owner only.
    const bool blankTarget = targetExists && IsBlankDataFileAt(target);
    const bool addsToFile = targetExists && !blankTarget;
    if (addsToFile && request.encryption != TargetEncryption::Default) {
        ctx.ErrorAbout(target,
                       "already exists and keeps its own encryption; --encrypt applies only "
                       "to a new file (use passwd to change it)");
        return kExitUsage;
    }
    // Without a terminal the passwords are lines of the standard input, so it cannot be
    // the text as well: refused before anything is read.
    if (sourcePath == "-" && !ctx.passwords.FromTerminalInput() &&
        TargetNeedsPassword(request, target, addsToFile)) {
        ctx.Error("the standard input cannot hold both the text to import and the password");
        return kExitUsage;
    }
    if (sourcePath != "-" && SameFile(sourcePath, target)) {
        ctx.Error("the source and the target are the same file");
        return kExitUsage;
    }

    std::vector<CCard> imported;
    if (!source.read(sourcePath, ctx, imported))
        return kExitFailed;
    const std::vector<std::string> perCategory =
        source.countPerCategory ? CategoryCountLines(CountPerCategory(imported))
                                : std::vector<std::string>();

    // Every question (the target's password, a new one) is asked before the target is
    // locked; the lock is held only from reading the target again to writing it.
    std::unique_ptr<OpenedFile> existing;
    FileCipherState newCipher;
    if (addsToFile) {
        existing = OpenDataFile(target, ctx);
        if (!existing)
            return kExitFailed;
        if (existing->WouldLoseData()) {
            RefuseLossyRewrite(*existing, ctx);
            return kExitFailed;
        }
    } else if (!ChooseNewTargetCipher(request, target, newCipher, ctx)) {
        return kExitFailed;
    }

    const std::optional<DataFileLock> lock = LockDataFile(target, ctx);
    if (!lock)
        return kExitFailed;
    int count = 0;
    bool encrypted = false;
    if (existing) {
        // A second import into the same file waits for this one and then adds to its
        // result, read again with the password given.
        if (!ReadAgainIfChanged(*existing, *lock, ctx))
            return kExitFailed;
        count = AddCards(imported, existing->Cards());
        if (!SaveDataFile(target, existing->Cards(), existing->Cipher(), *lock, ctx))
            return kExitFailed;
        encrypted = existing->Cipher().encryptOnSave;
    } else {
        // A file that was not there, or held no cards, when this import began must still
        // be so: anything another program wrote meanwhile is not replaced.
        const bool stillFree = blankTarget ? IsBlankDataFileAt(target) : lock->ForNewFile();
        if (!stillFree) {
            ctx.ErrorAbout(target,
                           "was created by another program meanwhile; nothing was written. Run "
                           "the import again to add to it.");
            return kExitFailed;
        }
        CCardCollection cards;
        count = AddCards(imported, cards);
        if (!SaveDataFile(target, cards, newCipher, *lock, ctx, true))
            return kExitFailed;
        encrypted = newCipher.encryptOnSave;
    }

    ctx.out << target << ": " << count << (count == 1 ? " card" : " cards") << " imported"
            << (addsToFile ? "" : " into a new file") << " ("
            << (encrypted ? "encrypted" : "not encrypted") << ")\n";
    for (const std::string& line : perCategory)
        ctx.out << "  " << line << '\n';
    return kExitOk;
}

}  // namespace tessaline::cli
