#include "cli/data_file_session.h"

#include "cli/cli_context.h"
#include "core/base/secure_wipe.h"
#include "core/document/file_with_user.h"
#include "core/document/write_target.h"
#include "core/file/file_fingerprint.h"
#include "core/file/safe_file.h"
#include "core/prefs/date_format.h"

namespace tessaline::cli {

namespace {

// Wipes a buffer that held card texts in clear.
struct WipeOnExit {
    std::vector<std::uint8_t>& bytes;
    ~WipeOnExit() { SecureWipe(bytes.data(), bytes.size()); }
};

void ReportWhyNotOpened(std::span<const std::uint8_t> data, const std::string& path,
                        CliContext& ctx) {
    // The reader says nothing when the header's encryption byte is neither 0 nor 1.
    const HeaderFacts facts = InspectHeader(data);
    if (facts.format == FileFormat::MacSyncVersion && facts.encryptionByte != 0 &&
        facts.encryptionByte != 1) {
        ctx.ErrorAbout(path, "the header's encryption byte holds " +
                                 std::to_string(facts.encryptionByte) +
                                 "; only 0 (plain) and 1 (encrypted) are known");
    }
    ctx.ErrorAbout(path, "the file was not opened");
}

}  // namespace

std::unique_ptr<OpenedFile> OpenDataFile(const std::string& path, CliContext& ctx) {
    RemoveSaveLeftovers(path);
    FileError error;
    std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path, error);
    if (!data) {
        ctx.Error(error.what);
        return nullptr;
    }
    WipeOnExit wipe{*data};

    auto file = std::make_unique<OpenedFile>();
    file->path = path;
    file->revision = InspectHeader(*data).revision;
    file->print = FingerprintOf(*data, path);
    ctx.answers.SetSubject(path);
    const UserReadRequest request{ctx.answers, DateFormatIndex(ctx.profile), FileTitleOf(path), ""};
    file->read = ReadDataFileWithUser(*data, request);
    ctx.answers.SetSubject("");
    if (!file->read.ok) {
        ReportWhyNotOpened(*data, path, ctx);
        return nullptr;
    }
    if (file->Damaged()) {
        ctx.ErrorAbout(path, "warning: the file is damaged; reading stopped after " +
                                 std::to_string(file->Cards().LiveCardCount() +
                                                file->Cards().DeletedList().Count()) +
                                 " cards and " + std::to_string(file->read.unreadBytes) +
                                 " bytes could not be read");
    }
    if (file->read.unkeptBytes > 0) {
        ctx.ErrorAbout(path, "warning: " + std::to_string(file->read.unkeptBytes) +
                                 " bytes of card records were not kept (cards of unknown "
                                 "categories)");
    }
    return file;
}

bool ReadAgainIfChanged(OpenedFile& file, const DataFileLock& lock, CliContext& ctx) {
    const std::string& path = file.path;
    auto refuse = [&](const std::string& why) {
        ctx.ErrorAbout(path, why + "; nothing was written");
        return false;
    };
    if (lock.ForNewFile())
        return refuse("was removed by another program meanwhile");
    if (CompareWithDisk(file.print, path) == DiskState::Unchanged)
        return true;
    FileError error;
    std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path, error);
    if (!data) {
        ctx.Error(error.what);
        return refuse("was changed by another program meanwhile and cannot be read again");
    }
    WipeOnExit wipe{*data};
    ReadRequest request =
        ReadRequestFor({ctx.answers, DateFormatIndex(ctx.profile), FileTitleOf(path), ""});
    // The password given before is the only answer: the file is read again, not asked for.
    const FileCipherState& before = file.read.state;
    bool asked = false;
    request.askPassword = [&](const std::string&, const std::string&) {
        if (asked || before.encryptionPassword.empty())
            return std::optional<std::string>();
        asked = true;
        return std::optional<std::string>(std::string(before.encryptionPassword.View()));
    };
    ReadResult read = ReadDataFile(*data, request);
    if (!read.ok || read.ReadInPart()) {
        return refuse(
            "was changed by another program meanwhile and no longer opens whole with the "
            "password given");
    }
    file.read = std::move(read);
    file.revision = InspectHeader(*data).revision;
    file.print = FingerprintOf(*data, path);
    ctx.ErrorAbout(path, "was changed by another program meanwhile; its cards were read again");
    return true;
}

bool SaveDataFile(const std::string& path, const CCardCollection& cards, FileCipherState& cipher,
                  const DataFileLock& lock, CliContext& ctx, bool asNewFile) {
    if (PlainUnderEncryptedName(path, cipher.encryptOnSave)) {
        RefusePlainUnderEncryptedName(path, ctx);
        return false;
    }
    ctx.answers.SetSubject(path);
    std::optional<std::vector<std::uint8_t>> bytes =
        BuildDataFileWithUser(cards, cipher, ctx.answers);
    ctx.answers.SetSubject("");
    if (!bytes) {
        ctx.ErrorAbout(path, "nothing was written; the file on disk is unchanged");
        return false;
    }
    WipeOnExit wipe{*bytes};
    WriteOptions options;
    options.mustBeNew = lock.ForNewFile();
    options.ownerOnly = asNewFile;
    if (std::optional<FileError> failed = WriteFileSafely(path, *bytes, options)) {
        ctx.Error(failed->what);
        ctx.ErrorAbout(path, "nothing was written; the file on disk is unchanged");
        return false;
    }
    return true;
}

std::optional<DataFileLock> LockDataFile(const std::string& path, CliContext& ctx) {
    std::optional<DataFileLock> lock = DataFileLock::Acquire(path);
    if (!lock)
        ctx.Error(BusyFileMessage(path));
    return lock;
}

void RefusePlainUnderEncryptedName(const std::string& path, CliContext& ctx) {
    ctx.ErrorAbout(path,
                   "not written: a name ending in .tse is kept for encrypted files, and these "
                   "cards would be stored without encryption. Encrypt them (tessaline-cli "
                   "passwd, or import --encrypt into a new file), or use a name ending in .tsf.");
}

void RefuseLossyRewrite(const OpenedFile& file, CliContext& ctx) {
    RefuseLossyRewrite(file.path, ctx);
}

void RefuseLossyRewrite(const std::string& path, CliContext& ctx) {
    ctx.ErrorAbout(path,
                   "not changed: writing it again would lose what could not be read. Copy "
                   "the cards that could be read to a new file with \"tessaline-cli export "
                   "--partial\" and \"tessaline-cli import\".");
}

}  // namespace tessaline::cli
