// Reading a sealed file: the header's settings are checked before the password is asked
// for and before any memory is claimed; the key is derived while the user is told so;
// the plain data file inside is read from locked memory like any plain file.

#include <cstring>

#include "core/base/message_texts.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/reader_internal.h"
#include "core/file/sealed_file.h"

namespace tessaline {

namespace {

// A sealed file holds a current-format plain data file, nothing else.
bool IsPlainDataFile(std::span<const std::uint8_t> plain) {
    if (plain.size() < kHeaderSize || HasSealedMagic(plain))
        return false;
    const HeaderFacts facts = InspectHeader(plain);
    return facts.format == FileFormat::MacSyncVersion && facts.encryptionByte == 0;
}

}  // namespace

ReadResult ReadSealedFile(std::span<const std::uint8_t> data, const ReadRequest& request,
                          CCardCollection& cards, FileCipherState& state) {
    ReadResult result;
    result.format = FileFormat::Sealed;
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
    if (!IsPlainDataFile(opened.plain)) {
        AddNotice(result, msg::kSealedUnreadable);
        return result;
    }

    state.headerValue18 = GetU32(opened.plain.data() + 18);
    state.encryptionPassword = std::move(passwordBytes);
    state.encryptOnSave = true;
    state.sealed = true;
    state.seal = header->settings;
    ByteCursor in(opened.plain, kHeaderSize);
    ReadCardRecords(in, 9, 0, request.dateFormat, cards, result);
    result.ok = true;
    return result;
}

}  // namespace tessaline
