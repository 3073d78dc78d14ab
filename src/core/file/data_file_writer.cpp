// Writing the current format. Everything is assembled in memory first; the caller
// puts the bytes on disk only when the whole file could be built.

#include <array>
#include <cstring>
#include <string_view>

#include "core/base/message_texts.h"
#include "core/cards/card_collection.h"
#include "core/file/blowfish.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/password_check.h"
#include "core/file/password_text.h"

namespace tessaline {

namespace {

constexpr std::uint8_t kCreatorCode[4] = {0x6E, 0x4C, 0x73, 0x54};  // "TsLn" big-endian, stored LE

void AppendHeader(std::vector<std::uint8_t>& out, bool encrypted, std::uint32_t value18) {
    const std::uint8_t head[14] = {0,
                                   kFormatRevision,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   1,
                                   0,
                                   static_cast<std::uint8_t>(encrypted ? 1 : 0),
                                   0};
    out.insert(out.end(), head, head + sizeof head);
    out.insert(out.end(), kCreatorCode, kCreatorCode + 4);
    PutU32(out, value18);
}

void StoreU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The five texts as the file gets them. A text ends at its first zero byte (a zero
// inside one would shift every later field when read back). A deleted card stays in the
// file for the handheld's sync with its record ID, category, marks and name only: its
// address, user ID, password and note are not written.
std::array<std::string_view, 5> WrittenTexts(const CCard& card, bool deleted) {
    auto cut = [](const std::string& text) {
        return std::string_view(text).substr(0, text.find('\0'));
    };
    if (deleted)
        return {cut(card.Name()), {}, {}, {}, {}};
    return {cut(card.Name()), cut(card.Address()), cut(card.UserId()), cut(card.Password()),
            cut(card.Note())};
}

std::size_t WrittenSize(const std::array<std::string_view, 5>& texts) {
    std::size_t size = kCardHeaderSize;
    for (std::string_view text : texts)
        size += text.size() + 1;
    return size;
}

// Writes one card record at p, into room the caller sized from WrittenCardsSize; returns
// the end of the record.
std::uint8_t* WriteCard(std::uint8_t* p, const CCard& card, bool deleted) {
    const std::array<std::string_view, 5> texts = WrittenTexts(card, deleted);
    const std::size_t L = WrittenSize(texts) - kCardHeaderSize;
    p[0] = card.Category();
    p[1] = 0;
    p[2] = card.Attributes();
    p[3] = card.SyncByte();
    StoreU32(p + 4, card.ModificationTime());
    StoreU32(p + 8, card.RecordId());
    StoreU32(p + 12, 0);
    StoreU32(p + 16, 0);
    StoreU32(p + 20, static_cast<std::uint32_t>(L));
    p += kCardHeaderSize;
    for (std::string_view text : texts) {
        // An empty view may hold no pointer at all, which memcpy must not be given.
        if (!text.empty())
            std::memcpy(p, text.data(), text.size());
        p += text.size();
        *p++ = 0;
    }
    return p;
}

bool TextsFit(const CCard& card, bool deleted) {
    for (std::string_view text : WrittenTexts(card, deleted)) {
        if (text.size() > kMaxTextLength)
            return false;
    }
    return true;
}

// The lists in file order: categories 0..14, then the deleted cards (list index 15).
constexpr int kDeletedListIndex = kCategoryCount;
template <typename Fn>
void ForEachListInFileOrder(const CCardCollection& cards, Fn fn) {
    for (int code = 0; code < kCategoryCount; ++code)
        fn(code, cards.List(code));
    fn(kCategoryCount, cards.DeletedList());
}

// Checks every card before a byte is produced; false with the reasons in messages.
bool CardsCanBeWritten(const CCardCollection& cards, std::vector<MessageRequest>& messages) {
    bool ok = true;
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        if (!ok)
            return;
        for (const CCard* card : list) {
            if (!TextsFit(*card, listIndex == kDeletedListIndex)) {
                messages.push_back(PlainNotice(TextTooLongMessage(card->Name())));
                messages.push_back(PlainNotice(msg::kErrorWritingList[listIndex]));
                ok = false;
                return;
            }
        }
    });
    return ok;
}

std::uint64_t WrittenCardsSize(const CCardCollection& cards) {
    std::uint64_t size = 0;
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        for (const CCard* card : list)
            size += WrittenSize(WrittenTexts(*card, listIndex == kDeletedListIndex));
    });
    return size;
}

// Writes every card at p; the room is WrittenCardsSize.
void WriteAllCards(std::uint8_t* p, const CCardCollection& cards) {
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        for (const CCard* card : list)
            p = WriteCard(p, *card, listIndex == kDeletedListIndex);
    });
}

// The whole plain data file, assembled in locked memory and sealed.
WriteResult BuildSealedFile(const CCardCollection& cards, std::uint64_t cardsSize,
                            FileCipherState& state, const WriteRequest& request) {
    WriteResult result;
    if (!SealSettingsReadable(state.seal)) {
        result.messages.push_back(PlainNotice(msg::kSealSettingsUnusable));
        return result;
    }
    std::optional<std::vector<std::uint8_t>> sealed;
    try {
        std::vector<std::uint8_t> header;
        AppendHeader(header, false, state.headerValue18);
        LockedBytes plain;
        plain.reserve(kHeaderSize + cardsSize);
        plain.assign(header.begin(), header.end());
        plain.resize(kHeaderSize + cardsSize);
        WriteAllCards(plain.data() + kHeaderSize, cards);
        RunMaybeBusy(request.whileBusy, msg::kSealing,
                     [&] { sealed = SealBytes(plain, state.encryptionPassword, state.seal); });
    } catch (const std::bad_alloc&) {
        sealed.reset();
    }
    if (!sealed)
        result.messages.push_back(PlainNotice(msg::kOutOfMemory));
    result.bytes = std::move(sealed);
    return result;
}

}  // namespace

void ClearDeletedCardSecrets(CCard& card) {
    for (std::string* text : card.SecretTexts())
        SecureWipe(*text);
}

std::string TooLargeOfferSealingMessage(std::uint64_t storedSize) {
    return "The cards take " + std::to_string(storedSize) +
           " bytes, but an encrypted file that older readers understand can hold at most " +
           std::to_string(kEncryptedLimit - 1 - kCheckValueSize) +
           ".\n\nDo you want to seal the file instead? A sealed file has no size limit and "
           "protects the password better, but older readers cannot open it.\n\nIf you "
           "choose No, the file is not saved.";
}

std::string TextTooLongMessage(const std::string& cardName) {
    return "The card \"" + cardName.substr(0, 64) + "\" has a text of " +
           std::to_string(kMaxTextLength + 1) +
           " characters or more, which a data file cannot hold. The file was not saved.";
}

WriteResult BuildDataFile(const CCardCollection& cards, FileCipherState& state,
                          const WriteRequest& request) {
    WriteResult result;
    if (!CardsCanBeWritten(cards, result.messages))
        return result;
    const std::uint64_t S = WrittenCardsSize(cards);

    // The buffer is sized once, from the total stored size, and the cards are written
    // straight into it.
    if (!state.encryptOnSave) {
        std::vector<std::uint8_t>& out = result.bytes.emplace();
        out.reserve(kHeaderSize + S);
        AppendHeader(out, false, state.headerValue18);
        out.resize(kHeaderSize + S);
        WriteAllCards(out.data() + kHeaderSize, cards);
        return result;
    }

    if (state.encryptionPassword.empty()) {
        result.messages.push_back(PlainNotice(msg::kPasswordNotSet));
        return result;
    }
    if (HasZeroByte(state.encryptionPassword)) {
        result.messages.push_back(PlainNotice(msg::kPasswordHasZeroByte));
        return result;
    }
    if (state.sealed)
        return BuildSealedFile(cards, S, state, request);
    if (kCheckValueSize + S >= kEncryptedLimit) {
        const MessageRequest offer{TooLargeOfferSealingMessage(S), MsgCaption::Application,
                                   MsgIcon::Warning, MsgButtons::YesNo};
        if (!request.confirm || !request.confirm(offer))
            return result;
        state.sealed = true;
        return BuildSealedFile(cards, S, state, request);
    }
    std::vector<std::uint8_t>& enciphered = result.bytes.emplace();
    const std::size_t N = (kCheckValueSize + S + 7) / 8 * 8;
    // Check value, cards and zero padding are enciphered in place, after the header.
    enciphered.reserve(kHeaderSize + N);
    AppendHeader(enciphered, true, state.headerValue18);
    enciphered.resize(kHeaderSize + N, 0);
    std::uint8_t* plain = enciphered.data() + kHeaderSize;
    state.checkValue = PasswordCheckValue(state.encryptionPassword);
    std::memcpy(plain, state.checkValue.data(), kCheckValueSize);
    WriteAllCards(plain + kCheckValueSize, cards);
    {
        Blowfish cipher;
        MakeKey(cipher, state.encryptionPassword, false);
        cipher.EncipherBuffer(plain, N / 8);
    }
    return result;
}

}  // namespace tessaline
