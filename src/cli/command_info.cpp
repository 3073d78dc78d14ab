// info: what a data file is and what it holds.

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "core/base/message_texts.h"
#include "core/base/secure_wipe.h"
#include "core/file/safe_file.h"

namespace tessaline::cli {

int RunInfo(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files[0];
    FileError error;
    std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, error);
    if (!bytes) {
        ctx.Error(error.what);
        return kExitFailed;
    }
    // What the header says is shown before any password is asked for.
    const HeaderFacts facts = InspectHeader(*bytes);
    const std::optional<SealedHeader> sealed = ParseSealedHeader(*bytes);
    SecureWipe(bytes->data(), bytes->size());
    std::ostream& out = ctx.out;
    out << "File: " << path << '\n';
    out << "Format: " << FormatName(facts.format) << '\n';
    if (facts.format == FileFormat::Empty) {
        out << "Cards: 0\n";
        return kExitOk;
    }
    if (facts.format == FileFormat::NotTessaline) {
        ctx.ErrorAbout(path, msg::kNotTessalineFile);
        return kExitFailed;
    }
    out << "Encrypted: " << (facts.encrypted ? "yes" : "no") << '\n';
    out << "Layout: "
        << (facts.format == FileFormat::Sealed ? "sealed"
            : facts.encrypted                  ? "compatible (older readers; weaker)"
                                               : "plain")
        << '\n';
    if (sealed) {
        out << "Sealed layout: " << (sealed->layout == 2 ? kSealed2Magic : kSealedMagic) << '\n';
        out << "Key derivation: Argon2id, " << sealed->settings.opsLimit << " operations, "
            << (sealed->settings.memLimit >> 10) << " KiB memory\n";
        out << "Cipher: XChaCha20-Poly1305\n";
    }
    if (facts.format == FileFormat::MacSyncVersion) {
        out << "Revision: " << facts.revision << '\n';
        out << "Header value at offset 18: " << facts.headerValue18 << '\n';
    }
    out.flush();

    std::unique_ptr<OpenedFile> file = OpenDataFile(path, ctx);
    if (!file)
        return kExitFailed;
    const bool sealed2 = sealed && sealed->layout == 2;
    if (sealed2)
        out << "Payload version: " << file->Cipher().payloadVersion << '\n';
    out << "Cards: " << file->Cards().LiveCardCount() << '\n';
    for (int code : kExportOrder) {
        const int n = file->Cards().List(code).Count();
        if (n > 0)
            out << "  " << CategoryDisplayName(code) << ": " << n << '\n';
    }
    out << "Deleted cards: " << file->Cards().DeletedList().Count() << '\n';
    if (sealed2) {
        std::size_t versions = 0;
        const auto count = [&versions](const CCategoryList& list) {
            for (const CCard* card : list)
                versions += card->History().size();
        };
        for (int code = 0; code < kCategoryCount; ++code)
            count(file->Cards().List(code));
        count(file->Cards().RecycleBin());
        out << "Recycled cards: " << file->Cards().RecycleBin().Count() << '\n';
        out << "Tombstones: " << file->Cards().Tombstones().size() << '\n';
        out << "Versions in history: " << versions << '\n';
    }
    out << "Size of the cards: " << file->Cards().TotalStoredSize() << " bytes";
    if (facts.format != FileFormat::Sealed) {
        out << " (a compatible encrypted file holds at most "
            << kEncryptedLimit - 1 - kCheckValueSize << "; a sealed one has no limit)";
    }
    out << '\n';
    if (file->Damaged()) {
        out << "Damaged: " << file->read.unreadBytes << " bytes after the last card read\n";
    }
    if (file->read.unkeptBytes > 0) {
        out << "Not kept: " << file->read.unkeptBytes << " bytes of cards of unknown categories\n";
    }
    return file->Damaged() ? kExitFailed : kExitOk;
}

}  // namespace tessaline::cli
