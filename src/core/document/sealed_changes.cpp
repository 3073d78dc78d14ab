#include "core/document/sealed_changes.h"

#include <algorithm>
#include <limits>

#include "core/base/message_texts.h"
#include "core/base/secure_wipe.h"
#include "core/cards/categories.h"
#include "core/file/byte_io.h"
#include "core/file/locked_memory.h"
#include "core/file/sealed_payload.h"

namespace tessaline {

namespace {

// Shown while the key is derived.
constexpr const char* kLocking = "Locking the file...";
constexpr const char* kUnlocking = "Unlocking the file...";

constexpr std::uint8_t kDraftEditing = 1;
constexpr std::uint8_t kDraftNewWindow = 2;
constexpr std::uint8_t kDraftAutoAccess = 4;
// The list index of the deleted cards, after the fifteen categories.
constexpr int kDeletedList = kCategoryCount;
// A draft with five empty texts: its flags, list, place and five sizes.
constexpr std::size_t kEmptyDraftSize = 1 + 4 + 4 + 5 * 4;

const CCategoryList* ListAt(const CCardCollection& cards, int list) {
    if (list == kDeletedList)
        return &cards.DeletedList();
    if (list < 0 || list >= kCategoryCount)
        return nullptr;
    return &cards.List(list);
}

void PutText(LockedBytes& out, const std::string& text) {
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

bool ReadU32(ByteCursor& in, std::uint32_t& v) {
    if (in.Remaining() < 4)
        return false;
    v = GetU32(in.Here());
    return in.Skip(4);
}

bool ReadText(ByteCursor& in, std::string& text) {
    std::uint32_t size = 0;
    return ReadU32(in, size) && in.ReadText(size, text);
}

std::size_t DraftSize(const CardDraft& d) {
    return kEmptyDraftSize + d.name.size() + d.address.size() + d.userId.size() +
           d.password.size() + d.note.size();
}

void AppendDraft(LockedBytes& out, const CardDraft& d) {
    std::uint8_t flags = 0;
    if (d.editing)
        flags |= kDraftEditing;
    if (d.newBrowserWindow)
        flags |= kDraftNewWindow;
    if (d.automaticAccess)
        flags |= kDraftAutoAccess;
    out.push_back(flags);
    const CardPlace place = d.editing.value_or(CardPlace{});
    PutU32(out, static_cast<std::uint32_t>(place.list));
    PutU32(out, static_cast<std::uint32_t>(place.position));
    for (const std::string* text : {&d.name, &d.address, &d.userId, &d.password, &d.note})
        PutText(out, *text);
}

bool ReadDraft(ByteCursor& in, CardDraft& d) {
    std::uint8_t flags = 0;
    std::uint32_t list = 0;
    std::uint32_t position = 0;
    if (!in.ReadU8(flags) || !ReadU32(in, list) || !ReadU32(in, position))
        return false;
    if (flags & kDraftEditing) {
        d.editing = CardPlace{static_cast<int>(list), static_cast<int>(position)};
    }
    d.newBrowserWindow = flags & kDraftNewWindow;
    d.automaticAccess = flags & kDraftAutoAccess;
    for (std::string* text : {&d.name, &d.address, &d.userId, &d.password, &d.note}) {
        if (!ReadText(in, *text))
            return false;
    }
    return true;
}

// The cards and the drafts read so far are wiped when the rest cannot be read.
struct WipeDraftsOnExit {
    std::vector<CardDraft>& drafts;
    CCardCollection& cards;
    bool keep = false;
    ~WipeDraftsOnExit() {
        if (keep)
            return;
        WipeCardTexts(cards);
        for (CardDraft& d : drafts)
            WipeDraft(d);
        drafts.clear();
    }
};

}  // namespace

std::optional<CardPlace> PlaceOfCard(const CCardCollection& cards, const CCard* card) {
    if (card == nullptr)
        return std::nullopt;
    for (int list = 0; list <= kDeletedList; ++list) {
        const int position = ListAt(cards, list)->IndexOf(card);
        if (position >= 0)
            return CardPlace{list, position};
    }
    return std::nullopt;
}

CCard* CardAtPlace(CCardCollection& cards, const CardPlace& place) {
    const CCategoryList* list = ListAt(cards, place.list);
    if (list == nullptr || place.position < 0 || place.position >= list->Count())
        return nullptr;
    return list->CardAt(place.position);
}

void WipeDraft(CardDraft& d) {
    for (std::string* text : {&d.name, &d.address, &d.userId, &d.password, &d.note})
        SecureWipe(*text);
}

std::optional<std::vector<std::uint8_t>> SealChanges(
    const CCardCollection& cards, std::uint32_t headerValue18, const std::vector<CardDraft>& drafts,
    std::string_view password, const SealSettings& settings, const BusyRunner& whileBusy,
    std::vector<MessageRequest>& messages) {
    // The cards as the second sealed layout's payload holds them: everything a sealed save
    // keeps (earlier versions, the recycle bin, tombstones, entries of newer programs)
    // comes back. Every tombstone is kept: dropping old ones is for saves.
    LockedBytes plainFile;
    try {
        PayloadSettings values;
        values.headerValue18 = headerValue18;
        plainFile = EncodePayload(cards, values,
                                  std::numeric_limits<std::int64_t>::min() + kTombstoneKeepMs);
    } catch (const std::bad_alloc&) {
        messages.push_back(PlainNotice(msg::kOutOfMemory));
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> sealed;
    try {
        if (plainFile.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::bad_alloc();
        std::size_t size = 4 + plainFile.size() + 4;
        for (const CardDraft& d : drafts)
            size += DraftSize(d);
        LockedBytes payload;
        payload.reserve(size);
        PutU32(payload, static_cast<std::uint32_t>(plainFile.size()));
        payload.insert(payload.end(), plainFile.begin(), plainFile.end());
        SecureWipe(plainFile.data(), plainFile.size());
        PutU32(payload, static_cast<std::uint32_t>(drafts.size()));
        for (const CardDraft& d : drafts)
            AppendDraft(payload, d);
        RunMaybeBusy(whileBusy, kLocking, [&] { sealed = SealBytes(payload, password, settings); });
    } catch (const std::bad_alloc&) {
        sealed.reset();
    }
    SecureWipe(plainFile.data(), plainFile.size());
    if (!sealed)
        messages.push_back(PlainNotice(msg::kOutOfMemory));
    return sealed;
}

UnsealedChanges UnsealChanges(std::span<const std::uint8_t> sealed, std::string_view password,
                              int dateFormat, const BusyRunner& whileBusy) {
    UnsealedChanges result;
    UnsealResult opened;
    RunMaybeBusy(whileBusy, kUnlocking, [&] { opened = UnsealBytes(sealed, password); });
    result.status = opened.status;
    if (opened.status != UnsealStatus::Opened)
        return result;

    result.status = UnsealStatus::Unreadable;
    ByteCursor in(opened.plain);
    std::uint32_t fileSize = 0;
    if (!ReadU32(in, fileSize) || fileSize > in.Remaining())
        return result;
    const std::span<const std::uint8_t> file(in.Here(), fileSize);
    in.Skip(fileSize);
    auto cards = std::make_unique<CCardCollection>();
    const PayloadRead read = DecodePayload(file, dateFormat, *cards);
    if (!read.ok || read.droppedCards > 0) {
        WipeCardTexts(*cards);
        return result;
    }

    WipeDraftsOnExit wipe{result.drafts, *cards};
    std::uint32_t count = 0;
    if (!ReadU32(in, count))
        return result;
    // Room for every draft at once: a vector that grows would leave copies behind.
    result.drafts.reserve(std::min<std::size_t>(count, in.Remaining() / kEmptyDraftSize));
    for (std::uint32_t i = 0; i < count; ++i) {
        CardDraft& d = result.drafts.emplace_back();
        if (!ReadDraft(in, d))
            return result;
    }
    if (in.Remaining() != 0)
        return result;
    wipe.keep = true;
    result.cards = std::move(cards);
    result.status = UnsealStatus::Opened;
    return result;
}

}  // namespace tessaline
