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
#include "core/document/write_target.h"
#include "core/file/safe_file.h"
#include "core/prefs/date_format.h"
#include "core/views/csv_import.h"
#include "core/views/text_import.h"

namespace tessaline::cli {

namespace {

std::optional<std::vector<std::uint8_t>> ReadStandardInput(FileError& error) {
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(0, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = FileError{
                errno, std::string("cannot read the standard input: ") + std::strerror(errno)};
            return std::nullopt;
        }
        if (n == 0)
            return data;
        data.insert(data.end(), chunk, chunk + n);
    }
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
    for (CCard& card : from) {
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

    // Held from before the target is looked at until the new file is in place: a second
    // import into the same file waits for this one and then adds to its result.
    const std::optional<DataFileLock> lock = LockDataFile(target, ctx);
    if (!lock)
        return kExitFailed;
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

    int count = 0;
    bool encrypted = false;
    if (addsToFile) {
        std::unique_ptr<OpenedFile> existing = OpenDataFile(target, ctx);
        if (!existing)
            return kExitFailed;
        if (existing->WouldLoseData()) {
            RefuseLossyRewrite(*existing, ctx);
            return kExitFailed;
        }
        count = AddCards(imported, existing->Cards());
        if (!SaveDataFile(target, existing->Cards(), existing->Cipher(), ctx))
            return kExitFailed;
        encrypted = existing->Cipher().encryptOnSave;
    } else {
        CCardCollection cards;
        FileCipherState cipher;
        if (!ChooseNewTargetCipher(request, target, cipher, ctx))
            return kExitFailed;
        count = AddCards(imported, cards);
        if (!SaveDataFile(target, cards, cipher, ctx, true))
            return kExitFailed;
        encrypted = cipher.encryptOnSave;
    }

    ctx.out << target << ": " << count << (count == 1 ? " card" : " cards") << " imported"
            << (addsToFile ? "" : " into a new file") << " ("
            << (encrypted ? "encrypted" : "not encrypted") << ")\n";
    for (const std::string& line : perCategory)
        ctx.out << "  " << line << '\n';
    return kExitOk;
}

}  // namespace tessaline::cli
