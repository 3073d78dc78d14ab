// Writing the current format. Everything is assembled in memory first; the caller
// puts the bytes on disk only when the whole file could be built.

#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "core/base/message_texts.h"
#include "core/cards/card_collection.h"
#include "core/cards/card_times.h"
#include "core/cards/card_walk.h"
#include "core/file/blowfish.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/password_check.h"
#include "core/file/password_text.h"
#include "core/file/safe_file.h"
#include "core/file/sealed_payload.h"

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

// Appends one card record; the caller reserved room for every card (CheckedCardsRoom), so
// the buffer does not grow on the way.
template <typename Bytes>
void AppendCard(Bytes& out, const CCard& card, bool deleted) {
    const std::array<std::string_view, 5> texts = WrittenTexts(card, deleted);
    const std::size_t size = WrittenSize(texts);
    const std::size_t at = out.size();
    // Zero-filled, so each text's end mark is already in place.
    out.resize(at + size);
    std::uint8_t* p = out.data() + at;
    p[0] = card.Category();
    p[2] = card.Attributes();
    p[3] = card.SyncByte();
    // The layout's time stamp comes from the card's modified time.
    StoreU32(p + 4, LegacyStampOf(card));
    StoreU32(p + 8, card.RecordId());
    StoreU32(p + 20, static_cast<std::uint32_t>(size - kCardHeaderSize));
    p += kCardHeaderSize;
    for (std::string_view text : texts) {
        if (!text.empty())  // a text not written has no bytes to copy from
            std::memcpy(p, text.data(), text.size());
        p += text.size() + 1;
    }
}

// A text is only looked into (for a zero that would cut it short) when it is too long as
// it stands, so that checking a large document does not read every text.
bool TextsFit(const CCard& card, bool deleted) {
    const std::array<const std::string*, 5> all{&card.Name(), &card.Address(), &card.UserId(),
                                                &card.Password(), &card.Note()};
    for (const std::string* text : deleted ? std::span(all).first(1) : std::span(all)) {
        if (text->size() > kMaxTextLength && text->find('\0') > kMaxTextLength)
            return false;
    }
    return true;
}

// Says why the card in list listIndex cannot be written, or nothing when it can.
bool RefusedCard(const CCard& card, int listIndex, std::vector<MessageRequest>& messages) {
    if (TextsFit(card, listIndex == kCategoryCount))
        return false;
    messages.push_back(PlainNotice(TextTooLongMessage(card.Name())));
    messages.push_back(PlainNotice(msg::kErrorWritingList[listIndex]));
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

// Checks every card before a byte is produced and returns the room they need: at least
// their written size, taken from the texts' lengths alone without reading the texts (a
// text cut at a zero byte only gets shorter). Nothing, with the reasons in messages,
// when a card cannot be written.
std::optional<std::uint64_t> CheckedCardsRoom(const CCardCollection& cards,
                                              std::vector<MessageRequest>& messages) {
    std::uint64_t room = 0;
    bool ok = true;
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        if (!ok)
            return;
        for (const CCard* card : list) {
            if (RefusedCard(*card, listIndex, messages)) {
                ok = false;
                return;
            }
            room += card->StoredSize();
        }
    });
    if (!ok)
        return std::nullopt;
    return room;
}

// The exact size of every card as written.
std::uint64_t WrittenCardsSize(const CCardCollection& cards) {
    std::uint64_t size = 0;
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        for (const CCard* card : list)
            size += WrittenSize(WrittenTexts(*card, listIndex == kDeletedListIndex));
    });
    return size;
}

// The size a file of the cards takes: overhead, the bytes around the card records, plus
// the records. Nothing when it can be read back, else the refusal. room is at least the
// records' size (their stored sizes), so the exact size is only worked out when room
// alone would be too much.
std::optional<MessageRequest> RefuseUnreadableSize(const CCardCollection& cards, std::uint64_t room,
                                                   std::uint64_t overhead) {
    if (ReadableFileSize(overhead + room))
        return std::nullopt;
    const std::uint64_t size = overhead + WrittenCardsSize(cards);
    if (ReadableFileSize(size))
        return std::nullopt;
    return PlainNotice(TooLargeToReadMessage(size));
}

// "268435456" -> "268,435,456".
std::string GroupedDigits(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

// Appends every card in file order, checking each on the way; false, with the reasons in
// messages, at the first card that cannot be written. The caller reserved the room.
template <typename Bytes>
bool AppendAllCards(Bytes& out, const CCardCollection& cards,
                    std::vector<MessageRequest>& messages) {
    bool ok = true;
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        ok = ok && VisitCardsFetchingAhead(list.Cards(), [&](const CCard& card) {
                 if (RefusedCard(card, listIndex, messages))
                     return false;
                 AppendCard(out, card, listIndex == kDeletedListIndex);
                 return true;
             });
    });
    return ok;
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The second sealed layout: the payload assembled in locked memory, its size checked
// against what can be read back, and sealed.
WriteResult BuildSealed2File(const CCardCollection& cards, FileCipherState& state,
                             const WriteRequest& request) {
    WriteResult result;
    if (!SealSettingsReadable(state.seal)) {
        result.messages.push_back(PlainNotice(msg::kSealSettingsUnusable));
        return result;
    }
    std::optional<std::vector<std::uint8_t>> sealed;
    try {
        const LockedBytes payload =
            EncodePayload(cards, PayloadSettings{state.revision, state.headerValue18}, NowMs());
        const std::uint64_t size =
            kSealedHeaderSize + payload.size() + kSealTagSize + kSealed2TrailerSize;
        if (!ReadableFileSize(size)) {
            result.messages.push_back(PlainNotice(TooLargeToReadMessage(size)));
            return result;
        }
        RunMaybeBusy(request.whileBusy, msg::kSealing,
                     [&] { sealed = Seal2Bytes(payload, state.encryptionPassword, state.seal); });
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
           ".\n\nDo you want to seal the file instead? A sealed file can hold up to " +
           kMaxReadableFileSizeText +
           " and "
           "protects the password better, but older readers cannot open it.\n\nIf you "
           "choose No, the file is not saved.";
}

bool ReadableFileSize(std::uint64_t fileSize) {
    return fileSize <= kMaxReadableFileSize;
}

std::string TooLargeToReadMessage(std::uint64_t fileSize) {
    return "The file would take " + GroupedDigits(fileSize) +
           " bytes, but a data file can be "
           "opened only when it takes at most " +
           kMaxReadableFileSizeText + " (" + GroupedDigits(kMaxReadableFileSize) +
           " bytes). The file was not saved: delete cards or split them into two files.";
}

std::string TextTooLongMessage(const std::string& cardName) {
    return "The card \"" + cardName.substr(0, 64) + "\" has a text of " +
           std::to_string(kMaxTextLength + 1) +
           " characters or more, which a data file cannot hold. The file was not saved.";
}

WriteResult BuildDataFile(const CCardCollection& cards, FileCipherState& state,
                          const WriteRequest& request) {
    WriteResult result;
    std::vector<std::uint8_t> out;

    // A plain file is built in one walk over the cards, each checked as it comes, into a
    // buffer sized once from the stored sizes of all the cards kept.
    if (!state.encryptOnSave) {
        if (std::optional<MessageRequest> refused =
                RefuseUnreadableSize(cards, cards.KeptStoredSize(), kHeaderSize)) {
            result.messages.push_back(std::move(*refused));
            return result;
        }
        out.reserve(kHeaderSize + cards.KeptStoredSize());
        AppendHeader(out, false, state.headerValue18);
        if (AppendAllCards(out, cards, result.messages))
            result.bytes = std::move(out);
        return result;
    }

    // The second sealed layout holds texts of any length.
    if (!state.sealed && !CheckedCardsRoom(cards, result.messages))
        return result;
    if (state.encryptionPassword.empty()) {
        result.messages.push_back(PlainNotice(msg::kPasswordNotSet));
        return result;
    }
    if (HasZeroByte(state.encryptionPassword)) {
        result.messages.push_back(PlainNotice(msg::kPasswordHasZeroByte));
        return result;
    }
    if (state.sealed)
        return BuildSealed2File(cards, state, request);
    const std::uint64_t S = WrittenCardsSize(cards);
    if (kCheckValueSize + S >= kEncryptedLimit) {
        const MessageRequest offer{TooLargeOfferSealingMessage(S), MsgCaption::Application,
                                   MsgIcon::Warning, MsgButtons::YesNo};
        if (!request.confirm || !request.confirm(offer))
            return result;
        state.sealed = true;
        return BuildSealed2File(cards, state, request);
    }
    const std::size_t N = (kCheckValueSize + S + 7) / 8 * 8;
    // Check value, cards and zero padding are enciphered in place, after the header.
    out.reserve(kHeaderSize + N);
    AppendHeader(out, true, state.headerValue18);
    state.checkValue = PasswordCheckValue(state.encryptionPassword);
    out.insert(out.end(), state.checkValue.begin(), state.checkValue.begin() + kCheckValueSize);
    AppendAllCards(out, cards, result.messages);
    out.resize(kHeaderSize + N, 0);
    {
        Blowfish cipher;
        MakeKey(cipher, state.encryptionPassword, false);
        cipher.EncipherBuffer(out.data() + kHeaderSize, N / 8);
    }
    result.bytes = std::move(out);
    return result;
}

}  // namespace tessaline
