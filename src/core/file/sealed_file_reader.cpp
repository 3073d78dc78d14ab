// Reading a sealed file: the header's settings (and in the second layout the hash of the
// whole file) are checked before the password is asked for and before any memory is
// claimed; the key is derived while the user is told so; what is inside (a plain data
// file, or the second layout's payload) is read from locked memory.

#include <cstring>

#include "core/base/message_texts.h"
#include "core/base/sealed2_texts.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/reader_internal.h"
#include "core/file/sealed_file.h"
#include "core/file/sealed_payload.h"

namespace tessaline {

namespace {

// A sealed file holds a current-format plain data file, nothing else.
bool IsPlainDataFile(std::span<const std::uint8_t> plain) {
    if (plain.size() < kHeaderSize || HasSealedMagic(plain))
        return false;
    const HeaderFacts facts = InspectHeader(plain);
    return facts.format == FileFormat::MacSyncVersion && facts.encryptionByte == 0;
}

std::string WithName(const char* text, const std::string& name) {
    std::string out = text;
    out.replace(out.find("%1"), 2, name);
    return out;
}

}  // namespace

ReadResult ReadSealedFile(std::span<const std::uint8_t> data, const ReadRequest& request,
                          CCardCollection& cards, FileCipherState& state) {
    ReadResult result;
    result.format = FileFormat::Sealed;
    // A second-layout file that changed after it was written (a byte flipped, cut off or
    // added) is said to be damaged before any password is asked for: no password opens it.
    const int layout = SealedLayoutOf(data);
    if (layout == 2 && !Sealed2IsWhole(data)) {
        result.messages.push_back(PlainNotice(WithName(msg::kSealedDamaged, request.fileTitle)));
        return result;
    }
    const std::optional<SealedHeader> header = ParseSealedHeader(data);
    if (!header) {
        AddNotice(result, msg::kSealedUnreadable);
        return result;
    }

    SecretText password;
    if (!AskFilePassword(request, password, result))
        return result;
    if (password.Get().empty()) {
        AddNotice(result, msg::kPasswordNotCorrect);
        result.wrongPassword = true;
        return result;
    }
    LockedText passwordBytes(password.Get());
    SecureWipe(password.Get());

    UnsealResult opened;
    RunMaybeBusy(request.whileBusy, msg::kOpeningSealed,
                 [&] { opened = UnsealBytes(data, passwordBytes); });
    switch (opened.status) {
        case UnsealStatus::Opened:
            break;
        case UnsealStatus::Unreadable:
            AddNotice(result, msg::kSealedUnreadable);
            return result;
        case UnsealStatus::WrongPassword:
            if (layout == 2) {
                // The file is whole (its hash matched): only the password can be wrong.
                AddNotice(result, msg::kPasswordNotCorrect);
                result.wrongPassword = true;
                return result;
            }
            // The seal only says that the key and the bytes do not belong together: a
            // mistyped password, or a byte changed in the salt, nonce, settings or payload,
            // or bytes cut off or added.
            AddNotice(result, msg::kPasswordOrDamage);
            result.wrongPassword = true;
            return result;
        case UnsealStatus::OutOfMemory:
            AddNotice(result, msg::kOutOfMemory);
            return result;
    }
    if (layout == 2) {
        const PayloadRead read = DecodePayload(opened.plain, request.dateFormat, cards);
        if (!read.ok) {
            AddNotice(result, msg::kPayloadUnreadable);
            return result;
        }
        result.droppedCards = read.droppedCards;
        result.writtenByNewer = read.version > kPayloadVersion;
        if (result.writtenByNewer)
            result.messages.push_back(
                PlainNotice(WithName(msg::kWrittenByNewer, request.fileTitle)));
        state.headerValue18 = read.settings.headerValue18;
        state.revision = read.settings.revision;
        state.payloadVersion = read.version;
    } else if (!IsPlainDataFile(opened.plain)) {
        AddNotice(result, msg::kSealedUnreadable);
        return result;
    }

    state.encryptionPassword = std::move(passwordBytes);
    state.encryptOnSave = true;
    state.sealed = true;
    state.readSealedLayout = layout;
    state.seal = header->settings;
    if (layout == 1) {
        state.headerValue18 = GetU32(opened.plain.data() + 18);
        state.revision = opened.plain[1];
        ByteCursor in(opened.plain, kHeaderSize);
        ReadCardRecords(in, 9, 0, request.dateFormat, cards, result);
    }
    result.ok = true;
    return result;
}

}  // namespace tessaline
