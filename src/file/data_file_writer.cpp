// Writing the current format. Everything is assembled in memory first; the caller
// puts the bytes on disk only when the whole file could be built.

#include <cstring>

#include "cards/card_collection.h"
#include "file/blowfish.h"
#include "file/byte_io.h"
#include "file/data_file.h"
#include "file/file_messages.h"
#include "file/password_check.h"
#include "platform/user_answers.h"

namespace tessaline {

namespace {

constexpr std::uint8_t kCreatorCode[4] = {0x6E, 0x4C, 0x73, 0x54};  // "TsLn" big-endian, stored LE

// Bytes is a std::vector of bytes: plain cards headed for a seal go to locked memory.
template <typename Bytes>
void AppendHeader(Bytes& out, bool encrypted, std::uint32_t value18) {
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

template <typename Bytes>
void AppendCard(Bytes& out, const CCard& card) {
    const std::size_t L = card.StoredSize() - kCardHeaderSize;
    out.push_back(card.Category());
    out.push_back(0);
    out.push_back(card.Attributes());
    out.push_back(card.SyncByte());
    PutU32(out, card.ModificationTime());
    PutU32(out, card.RecordId());
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(L));
    for (const std::string* text :
         {&card.Name(), &card.Address(), &card.UserId(), &card.Password(), &card.Note()}) {
        out.insert(out.end(), text->begin(), text->end());
        out.push_back(0);
    }
}

bool TextsFit(const CCard& card) {
    for (const std::string* text :
         {&card.Name(), &card.Address(), &card.UserId(), &card.Password(), &card.Note()}) {
        if (text->size() > kMaxTextLength)
            return false;
    }
    return true;
}

// The lists in file order: categories 0..14, then the deleted cards.
template <typename Fn>
void ForEachListInFileOrder(const CCardCollection& cards, Fn fn) {
    for (int code = 0; code < kCategoryCount; ++code)
        fn(code, cards.List(code));
    fn(kCategoryCount, cards.DeletedList());
}

// Checks every card before a byte is produced; false after telling the user why.
bool CardsCanBeWritten(const CCardCollection& cards, IUserAnswers& ui) {
    bool ok = true;
    ForEachListInFileOrder(cards, [&](int listIndex, const CCategoryList& list) {
        if (!ok)
            return;
        for (const CCard* card : list) {
            if (!TextsFit(*card)) {
                Tell(ui, TextTooLongMessage(card->Name()));
                Tell(ui, msg::kErrorWritingList[listIndex]);
                ok = false;
                return;
            }
        }
    });
    return ok;
}

template <typename Bytes>
void AppendAllCards(Bytes& out, const CCardCollection& cards) {
    ForEachListInFileOrder(cards, [&](int, const CCategoryList& list) {
        for (const CCard* card : list)
            AppendCard(out, *card);
    });
}

// The whole plain data file, assembled in locked memory and sealed.
std::optional<std::vector<std::uint8_t>> BuildSealedFile(const CCardCollection& cards,
                                                         FileCipherState& state, IUserAnswers& ui) {
    if (!SealSettingsReadable(state.seal)) {
        Tell(ui, msg::kSealSettingsUnusable);
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> sealed;
    try {
        LockedBytes plain;
        plain.reserve(kHeaderSize + cards.TotalStoredSize());
        AppendHeader(plain, false, state.headerValue18);
        AppendAllCards(plain, cards);
        ui.RunWhileBusy(msg::kSealing,
                        [&] { sealed = SealBytes(plain, state.encryptionPassword, state.seal); });
    } catch (const std::bad_alloc&) {
        sealed.reset();
    }
    if (!sealed)
        Tell(ui, msg::kOutOfMemory);
    return sealed;
}

}  // namespace

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

std::optional<std::vector<std::uint8_t>> BuildDataFile(const CCardCollection& cards,
                                                       FileCipherState& state, IUserAnswers& ui) {
    if (!CardsCanBeWritten(cards, ui))
        return std::nullopt;
    const std::uint64_t S = cards.TotalStoredSize();
    std::vector<std::uint8_t> out;

    if (!state.encryptOnSave) {
        out.reserve(kHeaderSize + S);
        AppendHeader(out, false, state.headerValue18);
        AppendAllCards(out, cards);
        return out;
    }

    if (state.encryptionPassword.empty()) {
        Tell(ui, msg::kPasswordNotSet);
        return std::nullopt;
    }
    if (state.sealed)
        return BuildSealedFile(cards, state, ui);
    if (kCheckValueSize + S >= kEncryptedLimit) {
        const MsgAnswer answer =
            ui.Message(MessageSpec{TooLargeOfferSealingMessage(S), MsgCaption::Application,
                                   MsgIcon::Warning, MsgButtons::YesNo});
        if (answer != MsgAnswer::Yes)
            return std::nullopt;
        state.sealed = true;
        return BuildSealedFile(cards, state, ui);
    }
    const std::size_t N = (kCheckValueSize + S + 7) / 8 * 8;
    LockedBytes plain;
    plain.reserve(N);
    state.checkValue = PasswordCheckValue(state.encryptionPassword);
    plain.insert(plain.end(), state.checkValue.begin(), state.checkValue.end());
    AppendAllCards(plain, cards);
    plain.resize(N, 0);
    {
        Blowfish cipher;
        MakeKey(cipher, state.encryptionPassword, false);
        cipher.EncipherBuffer(plain.data(), N / 8);
    }
    out.reserve(kHeaderSize + N);
    AppendHeader(out, true, state.headerValue18);
    out.insert(out.end(), plain.begin(), plain.end());
    return out;
}

}  // namespace tessaline
