#include "core/file/sealed_payload.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "core/base/secure_wipe.h"
#include "core/cards/card_date.h"
#include "core/cards/card_identity.h"
#include "core/cards/card_times.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"
#include "core/file/cbor_io.h"
#include "core/file/reader_internal.h"

namespace tessaline {

namespace {

// The payload map's keys.
enum PayloadKey : std::uint64_t {
    kKeyVersion = 0,
    kKeyHistorySize = 1,
    kKeyRevision = 2,
    kKeyHeaderValue18 = 3,
    kKeyCards = 4,
    kKeyRecycled = 5,
    kKeyDeleted = 6,
    kKeyTombstones = 7,
    kPayloadKeyCount = 8,
};

// A card's (and an earlier version's) keys.
enum CardKey : std::uint64_t {
    kCardIdentity = 0,
    kCardCategory = 1,
    kCardAttributes = 2,
    kCardSync = 3,
    kCardRecordId = 4,
    kCardName = 5,
    kCardAddress = 6,
    kCardUserId = 7,
    kCardPassword = 8,
    kCardNote = 9,
    kCardCreated = 10,
    kCardModified = 11,
    kCardExpires = 12,
    kCardTags = 13,
    kCardOtp = 14,
    kCardCustomFields = 15,
    kCardRecycled = 16,
    kCardHistory = 17,
    kCardKeyCount = 18,
};

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Every layout ends a text at its first zero byte.
std::string_view UpToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// A stored text as the UTF-8 it shows.
void WriteText(CborWriter& out, const std::string& stored) {
    const std::string_view text = UpToZero(stored);
    if (IsAscii(text)) {
        out.Text(text);
        return;
    }
    std::string utf8 = ShownAsUtf8(text);
    out.Text(utf8);
    SecureWipe(utf8);
}

// UTF-8 from the payload as the bytes a typed text is stored as.
std::string StoredText(const CborHead& head) {
    std::string_view text(reinterpret_cast<const char*>(head.data), head.size);
    text = UpToZero(text);
    if (IsAscii(text))
        return std::string(text);
    std::u32string chars = DecodeStoredBytes(text);
    std::string stored = EncodeTypedText(chars);
    SecureWipe(chars.data(), chars.size() * sizeof(char32_t));
    return stored;
}

struct CardWriting {
    bool deletedList = false;  // only the name and the handheld's fields
    bool version = false;      // an earlier version: no history of its own
};

void WriteCard(CborWriter& out, const CCard& card, CardWriting how) {
    const bool withHistory = !how.version && !card.History().empty();
    const bool recycled = card.RecycledMs() != 0;
    std::size_t known = kCardKeyCount - 6;  // 0..11 always
    known += card.ExpiresMs().has_value();
    known += !card.Tags().empty();
    known += !card.OtpUri().empty();
    known += !card.CustomFields().empty();
    known += recycled;
    known += withHistory;
    const bool hasIdentity = HasIdentity(card.Identity());
    if (how.version && !hasIdentity)
        --known;
    MapWriter map(out, known, card.UnknownEntries());
    if (hasIdentity || !how.version) {
        map.Key(kCardIdentity);
        const CardIdentity id = hasIdentity ? card.Identity() : MakeCardIdentity();
        out.Bytes(id);
    }
    map.Key(kCardCategory);
    out.Uint(card.Category());
    map.Key(kCardAttributes);
    out.Uint(card.Attributes());
    map.Key(kCardSync);
    out.Uint(card.SyncByte());
    map.Key(kCardRecordId);
    out.Uint(card.RecordId());
    static const std::string kNone;
    const bool secrets = !how.deletedList;
    map.Key(kCardName);
    WriteText(out, card.Name());
    map.Key(kCardAddress);
    WriteText(out, secrets ? card.Address() : kNone);
    map.Key(kCardUserId);
    WriteText(out, secrets ? card.UserId() : kNone);
    map.Key(kCardPassword);
    WriteText(out, secrets ? card.Password() : kNone);
    map.Key(kCardNote);
    WriteText(out, secrets ? card.Note() : kNone);
    const std::int64_t modified = EffectiveModifiedMs(card);
    map.Key(kCardCreated);
    out.Int(card.CreatedMs() != 0 ? card.CreatedMs() : modified);
    map.Key(kCardModified);
    out.Int(modified);
    if (card.ExpiresMs()) {
        map.Key(kCardExpires);
        out.Int(*card.ExpiresMs());
    }
    if (!card.Tags().empty()) {
        map.Key(kCardTags);
        out.ArrayHead(card.Tags().size());
        for (const std::string& tag : card.Tags())
            WriteText(out, tag);
    }
    if (!card.OtpUri().empty()) {
        map.Key(kCardOtp);
        WriteText(out, card.OtpUri());
    }
    if (!card.CustomFields().empty()) {
        map.Key(kCardCustomFields);
        out.ArrayHead(card.CustomFields().size());
        for (const CustomField& field : card.CustomFields()) {
            out.ArrayHead(3);
            WriteText(out, field.name);
            WriteText(out, field.value);
            out.Bool(field.isProtected);
        }
    }
    if (recycled) {
        map.Key(kCardRecycled);
        out.Int(card.RecycledMs());
    }
    if (withHistory) {
        map.Key(kCardHistory);
        out.ArrayHead(card.History().size());
        for (const CCard& version : card.History())
            WriteCard(out, version, CardWriting{false, true});
    }
    map.End();
}

void WriteCardList(CborWriter& out, const std::vector<const CCard*>& cards, CardWriting how) {
    out.ArrayHead(cards.size());
    for (const CCard* card : cards)
        WriteCard(out, *card, how);
}

std::vector<const CCard*> Listed(const CCategoryList& list) {
    return std::vector<const CCard*>(list.begin(), list.end());
}

// Room for the payload, roughly: the texts and a little for each card's keys.
std::size_t RoomFor(const CCard& card) {
    std::size_t room = card.StoredSize() + 96 + card.OtpUri().size();
    for (const std::string& tag : card.Tags())
        room += tag.size() + 2;
    for (const CustomField& field : card.CustomFields())
        room += field.name.size() + field.value.size() + 6;
    for (const CCard& version : card.History())
        room += RoomFor(version);
    return room;
}

// ---- reading ----

class PayloadReader {
public:
    PayloadReader(std::span<const std::uint8_t> data, int dateFormat)
        : in_(data), dateFormat_(dateFormat) {}

private:
    bool Uint(std::uint64_t& v, std::uint64_t max) {
        CborHead head;
        if (!in_.Next(head) || head.kind != CborHead::Kind::Uint || head.value > max)
            return false;
        v = head.value;
        return true;
    }
    bool Int(std::int64_t& v) {
        CborHead head;
        if (!in_.Next(head))
            return false;
        constexpr std::uint64_t kMax = static_cast<std::uint64_t>(INT64_MAX);
        if (head.kind == CborHead::Kind::Uint && head.value <= kMax) {
            v = static_cast<std::int64_t>(head.value);
            return true;
        }
        if (head.kind == CborHead::Kind::NegInt && head.value <= kMax) {
            v = -1 - static_cast<std::int64_t>(head.value);
            return true;
        }
        return false;
    }
    bool Text(std::string& text) {
        CborHead head;
        if (!in_.Next(head) || head.kind != CborHead::Kind::Text)
            return false;
        text = StoredText(head);
        return true;
    }
    bool Bool(bool& v) {
        CborHead head;
        if (!in_.Next(head) || head.kind != CborHead::Kind::Bool)
            return false;
        v = head.flag;
        return true;
    }
    // An array's count, no larger than the bytes left could hold.
    bool ArrayCount(std::uint64_t& n) {
        CborHead head;
        if (!in_.Next(head) || head.kind != CborHead::Kind::Array)
            return false;
        n = head.value;
        return true;
    }
    bool MapCount(std::uint64_t& n) {
        CborHead head;
        if (!in_.Next(head) || head.kind != CborHead::Kind::Map)
            return false;
        n = head.value;
        return true;
    }

    // Reads a map's entries: known keys (uint below keyCount) go to readValue once each;
    // any other entry is kept whole in unknown.
    template <typename ReadValue>
    bool ReadMap(std::uint64_t keyCount, std::string& unknown, ReadValue readValue) {
        std::uint64_t entries = 0;
        if (!MapCount(entries))
            return false;
        std::uint64_t seen = 0;  // a bit per known key
        for (std::uint64_t i = 0; i < entries; ++i) {
            const std::size_t start = in_.Position();
            CborHead key;
            if (!in_.Next(key))
                return false;
            if (key.kind == CborHead::Kind::Uint && key.value < keyCount) {
                const std::uint64_t bit = std::uint64_t{1} << key.value;
                if (seen & bit)
                    return false;  // the same key twice
                seen |= bit;
                if (!readValue(key.value))
                    return false;
                continue;
            }
            // A key this version does not know, of whatever kind: kept with its value.
            if (!in_.SkipRest(key) || !in_.SkipItem())
                return false;
            unknown.append(in_.Slice(start, in_.Position()));
        }
        return true;
    }

    bool ReadCustomFields(std::vector<CustomField>& fields) {
        std::uint64_t n = 0;
        if (!ArrayCount(n))
            return false;
        for (std::uint64_t i = 0; i < n; ++i) {
            std::uint64_t parts = 0;
            CustomField field;
            if (!ArrayCount(parts) || parts != 3 || !Text(field.name) || !Text(field.value) ||
                !Bool(field.isProtected)) {
                return false;
            }
            fields.push_back(std::move(field));
        }
        return true;
    }

    bool ReadTags(std::vector<std::string>& tags) {
        std::uint64_t n = 0;
        if (!ArrayCount(n))
            return false;
        for (std::uint64_t i = 0; i < n; ++i) {
            std::string tag;
            if (!Text(tag))
                return false;
            tags.push_back(std::move(tag));
        }
        return true;
    }

    bool ReadIdentity(CardIdentity& id) {
        CborHead head;
        if (!in_.Next(head) || head.kind != CborHead::Kind::Bytes || head.size != id.size())
            return false;
        std::copy(head.data, head.data + head.size, id.begin());
        return true;
    }

    bool ReadCard(CCard& card, bool version) {
        std::string unknown;
        const bool ok = ReadMap(kCardKeyCount, unknown, [&](std::uint64_t key) {
            std::uint64_t u = 0;
            std::int64_t i = 0;
            std::string text;
            switch (static_cast<CardKey>(key)) {
                case kCardIdentity: {
                    CardIdentity id{};
                    if (!ReadIdentity(id))
                        return false;
                    card.SetIdentity(id);
                    return true;
                }
                case kCardCategory:
                    if (!Uint(u, 0xFF))
                        return false;
                    card.SetCategory(static_cast<std::uint8_t>(u));
                    return true;
                case kCardAttributes:
                    if (!Uint(u, 0xFF))
                        return false;
                    card.SetAttributes(static_cast<std::uint8_t>(u));
                    return true;
                case kCardSync:
                    if (!Uint(u, 0xFF))
                        return false;
                    card.SetSyncByte(static_cast<std::uint8_t>(u));
                    return true;
                case kCardRecordId:
                    if (!Uint(u, 0xFFFFFFFF))
                        return false;
                    card.SetRecordId(static_cast<std::uint32_t>(u));
                    return true;
                case kCardName:
                case kCardAddress:
                case kCardUserId:
                case kCardPassword:
                case kCardNote: {
                    if (!Text(text))
                        return false;
                    switch (key) {
                        case kCardName:
                            card.SetName(std::move(text));
                            break;
                        case kCardAddress:
                            card.SetAddress(std::move(text));
                            break;
                        case kCardUserId:
                            card.SetUserId(std::move(text));
                            break;
                        case kCardPassword:
                            card.SetPassword(std::move(text));
                            break;
                        default:
                            card.SetNote(std::move(text));
                            break;
                    }
                    return true;
                }
                case kCardCreated:
                    if (!Int(i))
                        return false;
                    card.SetCreatedMs(i);
                    return true;
                case kCardModified:
                    if (!Int(i))
                        return false;
                    card.SetModifiedMs(i);
                    return true;
                case kCardExpires:
                    if (!Int(i))
                        return false;
                    card.SetExpiresMs(i);
                    return true;
                case kCardTags: {
                    std::vector<std::string> tags;
                    if (!ReadTags(tags))
                        return false;
                    card.SetTags(std::move(tags));
                    return true;
                }
                case kCardOtp:
                    if (!Text(text))
                        return false;
                    card.SetOtpUri(std::move(text));
                    return true;
                case kCardCustomFields: {
                    std::vector<CustomField> fields;
                    if (!ReadCustomFields(fields))
                        return false;
                    card.SetCustomFields(std::move(fields));
                    return true;
                }
                case kCardRecycled:
                    if (!Int(i))
                        return false;
                    card.SetRecycledMs(i);
                    return true;
                case kCardHistory: {
                    // An earlier version has no history of its own.
                    if (version)
                        return false;
                    std::uint64_t n = 0;
                    if (!ArrayCount(n))
                        return false;
                    std::vector<CCard> history;
                    for (std::uint64_t k = 0; k < n; ++k) {
                        CCard earlier;
                        if (!ReadCard(earlier, true))
                            return false;
                        history.push_back(std::move(earlier));
                    }
                    card.SetHistory(std::move(history));
                    return true;
                }
                case kCardKeyCount:
                    break;
            }
            return false;
        });
        if (!ok)
            return false;
        card.SetUnknownEntries(std::move(unknown));
        card.SetModificationTime(CardStampOfMs(card.ModifiedMs()));
        card.SetDateText(FormatCardDate(card.ModificationTime(), dateFormat_));
        return true;
    }

    // Reads an array of cards, filing each with file.
    template <typename File>
    bool ReadCards(File file) {
        std::uint64_t n = 0;
        if (!ArrayCount(n))
            return false;
        for (std::uint64_t k = 0; k < n; ++k) {
            CCard card;
            if (!ReadCard(card, false))
                return false;
            file(std::move(card));
        }
        return true;
    }

    bool ReadTombstones(std::vector<Tombstone>& tombstones) {
        std::uint64_t n = 0;
        if (!ArrayCount(n))
            return false;
        for (std::uint64_t k = 0; k < n; ++k) {
            std::uint64_t parts = 0;
            Tombstone t;
            if (!ArrayCount(parts) || parts != 2 || !ReadIdentity(t.identity) || !Int(t.deletedMs))
                return false;
            tombstones.push_back(t);
        }
        return true;
    }

public:
    bool Read(CCardCollection& cards, PayloadRead& read) {
        std::string unknown;
        bool hasVersion = false;
        const bool ok = ReadMap(kPayloadKeyCount, unknown, [&](std::uint64_t key) {
            std::uint64_t u = 0;
            switch (static_cast<PayloadKey>(key)) {
                case kKeyVersion:
                    hasVersion = Uint(read.version, UINT64_MAX) && read.version >= 1;
                    return hasVersion;
                case kKeyHistorySize:
                    if (!Uint(u, 0x7FFFFFFF))
                        return false;
                    cards.SetHistorySize(static_cast<int>(u));
                    return true;
                case kKeyRevision:
                    if (!Uint(u, 0xFF))
                        return false;
                    read.settings.revision = static_cast<std::uint8_t>(u);
                    return true;
                case kKeyHeaderValue18:
                    if (!Uint(u, 0xFFFFFFFF))
                        return false;
                    read.settings.headerValue18 = static_cast<std::uint32_t>(u);
                    return true;
                case kKeyCards:
                    return ReadCards([&](CCard card) {
                        if (!FileReadCard(cards, std::move(card)))
                            ++read.droppedCards;
                    });
                case kKeyRecycled:
                    return ReadCards([&](CCard card) {
                        cards.RecycleBin().AddCard(cards.Adopt(std::move(card)));
                    });
                case kKeyDeleted:
                    return ReadCards(
                        [&](CCard card) { cards.AddToDeletedList(cards.Adopt(std::move(card))); });
                case kKeyTombstones:
                    return ReadTombstones(cards.Tombstones());
                case kPayloadKeyCount:
                    break;
            }
            return false;
        });
        if (!ok || !hasVersion || !in_.AtEnd())
            return false;
        cards.SetUnknownEntries(std::move(unknown));
        return true;
    }

private:
    CborReader in_;
    int dateFormat_;
};

}  // namespace

bool TombstoneKept(const Tombstone& tombstone, std::int64_t nowMs) {
    return tombstone.deletedMs >= nowMs - kTombstoneKeepMs;
}

LockedBytes EncodePayload(const CCardCollection& cards, const PayloadSettings& settings,
                          std::int64_t nowMs) {
    std::vector<const CCard*> listed;
    std::size_t room = 64;
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const CCard* card : cards.List(code)) {
            listed.push_back(card);
            room += RoomFor(*card);
        }
    }
    const std::vector<const CCard*> recycled = Listed(cards.RecycleBin());
    const std::vector<const CCard*> deleted = Listed(cards.DeletedList());
    for (const CCard* card : recycled)
        room += RoomFor(*card);
    for (const CCard* card : deleted)
        room += card->Name().size() + 96;
    std::vector<Tombstone> kept;
    for (const Tombstone& t : cards.Tombstones()) {
        if (TombstoneKept(t, nowMs))
            kept.push_back(t);
    }
    room += kept.size() * 32;

    LockedBytes bytes;
    bytes.reserve(room);
    CborWriter out(bytes);
    MapWriter map(out, kPayloadKeyCount, cards.UnknownEntries());
    map.Key(kKeyVersion);
    out.Uint(kPayloadVersion);
    map.Key(kKeyHistorySize);
    out.Uint(static_cast<std::uint64_t>(std::max(cards.HistorySize(), 0)));
    map.Key(kKeyRevision);
    out.Uint(settings.revision);
    map.Key(kKeyHeaderValue18);
    out.Uint(settings.headerValue18);
    map.Key(kKeyCards);
    WriteCardList(out, listed, CardWriting{});
    map.Key(kKeyRecycled);
    WriteCardList(out, recycled, CardWriting{});
    map.Key(kKeyDeleted);
    WriteCardList(out, deleted, CardWriting{true, false});
    map.Key(kKeyTombstones);
    out.ArrayHead(kept.size());
    for (const Tombstone& t : kept) {
        out.ArrayHead(2);
        out.Bytes(t.identity);
        out.Int(t.deletedMs);
    }
    map.End();
    return bytes;
}

PayloadRead DecodePayload(std::span<const std::uint8_t> payload, int dateFormat,
                          CCardCollection& cards) {
    PayloadRead read;
    PayloadReader reader(payload, dateFormat);
    read.ok = reader.Read(cards, read);
    if (!read.ok) {
        WipeCardTexts(cards);
        read.droppedCards = 0;
    }
    return read;
}

void GiveMissingIdentities(CCardCollection& cards) {
    cards.ForEachOwnedCard([](CCard& card) {
        if (!HasIdentity(card.Identity()))
            card.SetIdentity(MakeCardIdentity());
    });
}

}  // namespace tessaline
