// Reading the current format, and the entry point that picks the reader.
// Nothing read from the file is trusted: every length is checked against the data.

#include <algorithm>
#include <cstring>

#include "core/base/message_texts.h"
#include "core/cards/card_collection.h"
#include "core/cards/card_date.h"
#include "core/cards/card_times.h"
#include "core/file/blowfish.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/password_check.h"
#include "core/file/password_text.h"
#include "core/file/reader_internal.h"

namespace tessaline {

namespace {

// Reads one card record at the cursor. False when the record is damaged or cut off;
// the cursor is then left where it was. slack receives the bytes of the string block
// after its fifth text, which a rewrite would not keep.
bool ReadCardRecord(ByteCursor& in, int dateFormat, CCard& card, std::size_t& slack) {
    if (in.Remaining() < kCardHeaderSize)
        return false;
    const std::uint8_t* h = in.Here();
    const std::uint32_t L = GetU32(h + 20);
    if (L > in.Remaining() - kCardHeaderSize)
        return false;

    const char* block = reinterpret_cast<const char*>(h + kCardHeaderSize);
    std::string texts[5];
    std::size_t pos = 0;
    for (std::string& text : texts) {
        const void* end = pos < L ? std::memchr(block + pos, 0, L - pos) : nullptr;
        if (!end)
            return false;
        const std::size_t len = static_cast<const char*>(end) - (block + pos);
        text.assign(block + pos, len);
        pos += len + 1;
    }
    card.SetCategory(h[0]);
    card.SetAttributes(h[2]);
    card.SetSyncByte(h[3]);
    card.SetModificationTime(GetU32(h + 4));
    TimesFromStamp(card);
    card.SetRecordId(GetU32(h + 8));
    card.SetName(std::move(texts[0]));
    card.SetAddress(std::move(texts[1]));
    card.SetUserId(std::move(texts[2]));
    card.SetPassword(std::move(texts[3]));
    card.SetNote(std::move(texts[4]));
    card.SetDateText(FormatCardDate(card.ModificationTime(), dateFormat));
    slack = L - pos;
    in.Skip(kCardHeaderSize + L);
    return true;
}

ReadResult ReadCurrentFormat(std::span<const std::uint8_t> data, const ReadRequest& request,
                             CCardCollection& cards, FileCipherState& state) {
    ReadResult result;
    result.format = FileFormat::MacSyncVersion;
    state.headerValue18 = GetU32(data.data() + 18);
    state.revision = data[1];
    const std::uint8_t encryption = data[12];

    if (encryption == 0) {
        ByteCursor in(data, kHeaderSize);
        ReadCardRecords(in, 9, 0, request.dateFormat, cards, result);
        result.ok = true;
        return result;
    }
    if (encryption != 1)
        return result;

    // The enciphered part is deciphered in a buffer of its own, wiped when done.
    std::vector<std::uint8_t> buffer(data.begin() + kHeaderSize, data.end());
    struct Wipe {
        std::vector<std::uint8_t>& b;
        ~Wipe() { SecureWipe(b.data(), b.size()); }
    } wipe{buffer};

    SecretText password;
    if (!AskFilePassword(request, password, result))
        return result;
    const auto opens = [&](const std::string& key) {
        buffer.assign(data.begin() + kHeaderSize, data.end());
        Blowfish cipher;
        MakeKey(cipher, key, data[1] == kZeroTableRevision);
        cipher.DecipherBuffer(buffer.data(), buffer.size() / 8);
        return buffer.size() >= kCheckValueSize && VerifyPassword(key, buffer.data());
    };
    if (!TryPasswordForms(password, opens)) {
        AddNotice(result, msg::kPasswordNotCorrect);
        result.wrongPassword = true;
        return result;
    }
    state.encryptionPassword = password.Get();
    state.encryptOnSave = true;
    std::memcpy(state.checkValue.data(), buffer.data(), kCheckValueSize);

    ByteCursor in(buffer, kCheckValueSize);
    ReadCardRecords(in, 11, 7, request.dateFormat, cards, result);
    result.ok = true;
    return result;
}

}  // namespace

void ReadCardRecords(ByteCursor& in, std::size_t minLeft, std::size_t maxFill, int dateFormat,
                     CCardCollection& cards, ReadResult& result) {
    while (in.Remaining() > minLeft) {
        CCard card;
        std::size_t slack = 0;
        const std::size_t start = in.Position();
        if (!ReadCardRecord(in, dateFormat, card, slack)) {
            result.stoppedEarly = true;
            break;
        }
        result.unkeptBytes += slack;
        if (!FileReadCard(cards, std::move(card))) {
            ++result.droppedCards;
            result.unkeptBytes += in.Position() - start - slack;
        }
    }
    result.unreadBytes = in.Remaining();
    const std::uint8_t* rest = in.Here();
    result.trailingData =
        result.unreadBytes > maxFill ||
        std::any_of(rest, rest + result.unreadBytes, [](std::uint8_t b) { return b != 0; });
}

void AddNotice(ReadResult& result, const char* text) {
    result.messages.push_back(PlainNotice(text));
}

bool AskFilePassword(const ReadRequest& request, SecretText& password, ReadResult& result) {
    if (!request.askPassword)
        return false;
    std::optional<std::string> entered = request.askPassword(
        std::string(msg::kDecryptionPasswordTitle) + msg::kForFile + request.fileTitle,
        request.passwordPrefill);
    if (!entered) {
        result.cancelled = true;
        return false;
    }
    password.Get() = *entered;
    SecureWipe(*entered);
    if (password.Get().empty())
        AddNotice(result, msg::kMustEnterPassword);
    if (HasZeroByte(password.Get())) {
        AddNotice(result, msg::kPasswordHasZeroByte);
        SecureWipe(password.Get());
        password.Get().clear();
    }
    return true;
}

bool TryPasswordForms(SecretText& password, const std::function<bool(const std::string&)>& opens) {
    if (password.Get().empty())
        return false;
    std::vector<std::string> forms = PasswordFormsToTry(password.Get());
    bool opened = false;
    for (std::string& form : forms) {
        if (!opened && opens(form)) {
            password.Get() = form;
            opened = true;
        }
        SecureWipe(form);
    }
    return opened;
}

bool FileReadCard(CCardCollection& cards, CCard card) {
    const int code = card.Category();
    if (card.Deleted() || code == kDeletedCategory) {
        cards.AddToDeletedList(cards.Adopt(std::move(card)));
    } else if (code >= 0 && code < kCategoryCount) {
        cards.AddCardToCategory(code, cards.Adopt(std::move(card)));
    } else {
        return false;
    }
    return true;
}

namespace {

ReadResult ReadAnyFormat(std::span<const std::uint8_t> data, const ReadRequest& request,
                         CCardCollection& cards, FileCipherState& state) {
    const HeaderFacts facts = InspectHeader(data);
    switch (facts.format) {
        case FileFormat::Empty: {
            ReadResult result;
            AddNotice(result, msg::kEmptyFile);
            result.ok = true;
            result.format = FileFormat::Empty;
            return result;
        }
        case FileFormat::Version1001:
        case FileFormat::Version1002:
            return ReadOldFormat(data, facts.format, request, cards, state);
        case FileFormat::MacSyncVersion:
            return ReadCurrentFormat(data, request, cards, state);
        case FileFormat::Sealed:
            return ReadSealedFile(data, request, cards, state);
        case FileFormat::NotTessaline:
            break;
    }
    if (data.size() >= kHeaderSize)
        state.headerValue18 = facts.headerValue18;
    ReadResult result;
    AddNotice(result, msg::kNotTessalineFile);
    return result;
}

}  // namespace

ReadResult ReadDataFile(std::span<const std::uint8_t> data, const ReadRequest& request) {
    auto cards = std::make_unique<CCardCollection>();
    FileCipherState state;
    ReadResult result = ReadAnyFormat(data, request, *cards, state);
    if (!result.ok) {
        // Cards read before the failure go, and their texts with them.
        WipeCardTexts(*cards);
        cards = std::make_unique<CCardCollection>();
        state = FileCipherState{};
    }
    result.cards = std::move(cards);
    result.state = std::move(state);
    return result;
}

}  // namespace tessaline
