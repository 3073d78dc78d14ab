// The second sealed layout: its exact framing (checked with libsodium's own functions),
// its payload read by the tests' own CBOR decoder against the schema, damage told from a
// wrong password before any password is asked, every field and unknown entry kept, and
// round trips with the older layouts.

#include <gtest/gtest.h>
#include <sodium.h>

#include <array>
#include <functional>
#include <set>
#include <string_view>

#include "core/base/message_texts.h"
#include "core/base/sealed2_texts.h"
#include "core/cards/card_identity.h"
#include "core/cards/card_times.h"
#include "core/cards/text_encoding.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/sealed_file.h"
#include "core/file/sealed_payload.h"
#include "support/card_fixtures.h"
#include "support/data_file_reading.h"
#include "support/data_files.h"
#include "support/test_cbor.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::kQuickSeal;
using testing::WrittenBytes;
using testing::cbor::Item;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;
using Type = Item::Type;
using namespace std::string_view_literals;

// The value of a key in a decoded map, to change it.
Item& ValueOf(Item& map, std::uint64_t key) {
    for (auto& [k, v] : map.entries)
        if (k.type == Type::Uint && k.number == key)
            return v;
    ADD_FAILURE() << "no key " << key;
    return map;
}

const std::string kPassword = "correct horse";
constexpr std::int64_t kNow = 1'800'000'000'000;  // 2027

std::string Damaged(const std::string& name) {
    std::string text = msg::kSealedDamaged;
    return text.replace(text.find("%1"), 2, name);
}

FileCipherState SealedState(const std::string& password = kPassword) {
    FileCipherState state;
    state.encryptOnSave = true;
    state.sealed = true;
    state.seal = kQuickSeal;
    state.encryptionPassword = password;
    state.headerValue18 = 0xA1B2C3D4;
    return state;
}

FileCipherState PlainState() {
    FileCipherState state;
    state.headerValue18 = 0xA1B2C3D4;
    return state;
}

CardIdentity IdentityOf(std::uint8_t first) {
    CardIdentity id{};
    for (std::size_t i = 0; i < id.size(); ++i)
        id[i] = static_cast<std::uint8_t>(first + i);
    return id;
}

// A card with every field the layout has, and two earlier versions.
CCard* FullCard(CCardCollection& cards) {
    CCard* card = AddCard(cards, {.code = 4,
                                  .name = "Bank",
                                  .address = "https://bank.example/",
                                  .user = "jo",
                                  .password = "now-secret",
                                  .note = std::string(40000, 'n'),  // no 32 KiB limit here
                                  .attributes = 3,
                                  .sync = 4,
                                  .recordId = 77});
    card->SetIdentity(IdentityOf(1));
    card->SetCreatedMs(1'600'000'000'123);
    StampCardChanged(*card, 1'700'000'000'456);
    card->SetExpiresMs(1'900'000'000'000);
    card->SetTags({"money", "w\xC3\xB6rk"});
    card->SetOtpUri("otpauth://totp/Bank:jo?secret=JBSWY3DPEHPK3PXP");
    card->SetCustomFields({{"PIN", "1234", true}, {"Branch", "Main St", false}});
    std::vector<CCard> history;
    for (int v = 0; v < 2; ++v) {
        CCard earlier;
        earlier.SetCategory(4);
        earlier.SetName("Bank");
        earlier.SetPassword("old-" + std::to_string(v));
        earlier.SetIdentity(IdentityOf(1));
        earlier.SetCreatedMs(1'600'000'000'123);
        StampCardChanged(earlier, 1'650'000'000'000 + v);
        earlier.SetTags({"v" + std::to_string(v)});
        history.push_back(earlier);
    }
    card->SetHistory(std::move(history));
    return card;
}

// Everything the collection keeps, as text: lists, recycle bin, deleted list, every
// field with its history, tombstones and settings.
Texts DescribeAll(const CCardCollection& cards) {
    Texts out;
    std::function<void(const std::string&, const CCard&)> one = [&](const std::string& where,
                                                                    const CCard& c) {
        std::string line =
            where + "|" + IdentityHex(c.Identity()) + "|" + std::to_string(c.Category()) + "|" +
            ShownAsUtf8(c.Name()) + "|" + ShownAsUtf8(c.Address()) + "|" + ShownAsUtf8(c.UserId()) +
            "|" + ShownAsUtf8(c.Password()) + "|" + std::to_string(c.Note().size()) + "|a" +
            std::to_string(c.Attributes()) + "|s" + std::to_string(c.SyncByte()) + "|r" +
            std::to_string(c.RecordId()) + "|t" + std::to_string(c.ModificationTime()) + "|c" +
            std::to_string(c.CreatedMs()) + "|m" + std::to_string(c.ModifiedMs()) + "|x" +
            (c.ExpiresMs() ? std::to_string(*c.ExpiresMs()) : "-") + "|o" + c.OtpUri() + "|y" +
            std::to_string(c.RecycledMs()) + "|tags";
        for (const std::string& tag : c.Tags())
            line += ":" + ShownAsUtf8(tag);
        for (const CustomField& f : c.CustomFields())
            line += "|f:" + f.name + "=" + f.value + (f.isProtected ? "*" : "");
        out.push_back(line);
        for (const CCard& v : c.History())
            one(where + ">", v);
    };
    for (int code = 0; code < kCategoryCount; ++code)
        for (const CCard* c : cards.List(code))
            one("list" + std::to_string(code), *c);
    for (const CCard* c : cards.RecycleBin())
        one("bin", *c);
    for (const CCard* c : cards.DeletedList())
        one("deleted", *c);
    for (const Tombstone& t : cards.Tombstones())
        out.push_back("tomb|" + IdentityHex(t.identity) + "|" + std::to_string(t.deletedMs));
    out.push_back("history size " + std::to_string(cards.HistorySize()));
    return out;
}

// Opens a second-layout file with libsodium alone: checks the hash, then the seal.
std::optional<Bytes> OpenWithLibsodium(const Bytes& file, const std::string& password) {
    if (file.size() < 120)
        return std::nullopt;
    const std::size_t hashed = file.size() - 32;
    std::array<std::uint8_t, 32> hash{};
    crypto_generichash(hash.data(), hash.size(), file.data(), hashed, nullptr, 0);
    if (!std::equal(hash.begin(), hash.end(), file.begin() + static_cast<long>(hashed)))
        return std::nullopt;
    const std::uint32_t ops = GetU32(file.data() + 20);
    const std::uint64_t mem =
        GetU32(file.data() + 24) | static_cast<std::uint64_t>(GetU32(file.data() + 28)) << 32;
    std::array<std::uint8_t, 32> key{};
    EXPECT_EQ(crypto_pwhash(key.data(), key.size(), password.data(), password.size(),
                            file.data() + 32, ops, mem, crypto_pwhash_ALG_ARGON2ID13),
              0);
    Bytes plain(hashed - 72 - 16);
    unsigned long long size = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &size, nullptr, file.data() + 72,
                                                   hashed - 72, file.data(), 72, file.data() + 48,
                                                   key.data()) != 0) {
        return std::nullopt;
    }
    plain.resize(size);
    return plain;
}

// Seals a payload the way the layout says, with libsodium alone and a fresh salt/nonce.
Bytes SealWithLibsodium(const Bytes& payload, const std::string& password) {
    Bytes file(kSealed2Magic.begin(), kSealed2Magic.end());
    const Bytes ids = {1, 1, 0, 0, 1, 0, 0, 0, 0, 0x20, 0, 0, 0, 0, 0, 0};  // 1 op, 8 KiB
    file.insert(file.end(), ids.begin(), ids.end());
    file.resize(72);
    randombytes_buf(file.data() + 32, 40);
    std::array<std::uint8_t, 32> key{};
    EXPECT_EQ(crypto_pwhash(key.data(), key.size(), password.data(), password.size(),
                            file.data() + 32, 1, 8192, crypto_pwhash_ALG_ARGON2ID13),
              0);
    file.resize(72 + payload.size() + 16);
    unsigned long long size = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(file.data() + 72, &size, payload.data(),
                                               payload.size(), file.data(), 72, nullptr,
                                               file.data() + 48, key.data());
    file.resize(72 + size + 32);
    crypto_generichash(file.data() + 72 + size, 32, file.data(), 72 + size, nullptr, 0);
    return file;
}

Item DecodeStrictly(const Bytes& payload) {
    testing::cbor::Decoder decoder(payload);
    const std::optional<Item> item = decoder.DecodeAll();
    EXPECT_TRUE(item.has_value());
    EXPECT_TRUE(decoder.Deterministic());
    return item.value_or(Item{});
}

// The schema of docs/file-format.md, checked on a decoded card map.
void CheckCard(const Item& card, bool version) {
    ASSERT_EQ(card.type, Type::Map);
    std::set<std::uint64_t> keys;
    for (std::uint64_t k : card.UintKeys())
        keys.insert(k);
    for (std::uint64_t required = version ? 1 : 0; required <= 11; ++required)
        EXPECT_TRUE(keys.count(required)) << "card key " << required;
    for (std::uint64_t k : keys)
        EXPECT_LE(k, version ? 16u : 17u) << "card key " << k;
    if (const Item* id = card.At(0)) {
        EXPECT_EQ(id->type, Type::Bytes);
        EXPECT_EQ(id->bytes.size(), 16u);
    }
    for (std::uint64_t k : {1, 2, 3})
        EXPECT_TRUE(card.At(k)->type == Type::Uint && card.At(k)->number <= 255);
    EXPECT_TRUE(card.At(4)->type == Type::Uint && card.At(4)->number <= 0xFFFFFFFFu);
    for (std::uint64_t k : {5, 6, 7, 8, 9})
        EXPECT_EQ(card.At(k)->type, Type::Text);
    for (std::uint64_t k : {10, 11, 12, 16}) {
        if (const Item* t = card.At(k)) {
            EXPECT_TRUE(t->type == Type::Uint || t->type == Type::Neg);
        }
    }
    if (const Item* tags = card.At(13)) {
        ASSERT_EQ(tags->type, Type::Array);
        for (const Item& tag : tags->items)
            EXPECT_EQ(tag.type, Type::Text);
    }
    if (const Item* otp = card.At(14)) {
        EXPECT_EQ(otp->type, Type::Text);
    }
    if (const Item* fields = card.At(15)) {
        ASSERT_EQ(fields->type, Type::Array);
        for (const Item& f : fields->items) {
            ASSERT_EQ(f.items.size(), 3u);
            EXPECT_EQ(f.items[0].type, Type::Text);
            EXPECT_EQ(f.items[1].type, Type::Text);
            EXPECT_EQ(f.items[2].type, Type::Bool);
        }
    }
    if (const Item* history = card.At(17)) {
        ASSERT_EQ(history->type, Type::Array);
        for (const Item& v : history->items)
            CheckCard(v, true);
    }
}

void CheckPayload(const Item& payload) {
    ASSERT_EQ(payload.type, Type::Map);
    EXPECT_EQ(payload.UintKeys(), (std::vector<std::uint64_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(payload.At(0)->number, 1u);
    for (std::uint64_t k : {1, 2, 3})
        EXPECT_EQ(payload.At(k)->type, Type::Uint);
    for (std::uint64_t k : {4, 5, 6}) {
        ASSERT_EQ(payload.At(k)->type, Type::Array);
        for (const Item& card : payload.At(k)->items)
            CheckCard(card, false);
    }
    ASSERT_EQ(payload.At(7)->type, Type::Array);
    for (const Item& t : payload.At(7)->items) {
        ASSERT_EQ(t.items.size(), 2u);
        EXPECT_EQ(t.items[0].bytes.size(), 16u);
    }
}

void SampleCards(CCardCollection& cards) {
    FullCard(cards);
    CCard* mail = AddCard(
        cards, {.code = 6, .name = "Mail", .user = "jo", .password = "pw", .time = 3'800'000'000u});
    mail->SetIdentity(IdentityOf(40));
    CCard* binned =
        cards.Adopt(testing::MakeCard({.code = 0, .name = "Old site", .password = "x"}));
    binned->SetIdentity(IdentityOf(80));
    binned->SetRecycledMs(kNow - 5000);
    cards.RecycleBin().AddCard(binned);
    AddCard(cards, {.code = 3,
                    .name = "gone",
                    .password = "never written",
                    .sync = CCard::kDeletedBit,
                    .recordId = 12})
        ->SetIdentity(IdentityOf(120));
    cards.Tombstones().push_back({IdentityOf(160), kNow - 1000});
    cards.SetHistorySize(7);
    // As read from a file: both clocks set.
    cards.ForEachOwnedCard([](CCard& c) {
        if (c.ModifiedMs() == 0)
            TimesFromStamp(c);
    });
}

TEST(Sealed2File, FramingIsExactlyWhatLibsodiumMakesOfIt) {
    ASSERT_GE(sodium_init(), 0);
    std::array<std::uint8_t, 16> salt;
    std::array<std::uint8_t, 24> nonce;
    for (std::size_t i = 0; i < salt.size(); ++i)
        salt[i] = static_cast<std::uint8_t>(0x10 + i);
    for (std::size_t i = 0; i < nonce.size(); ++i)
        nonce[i] = static_cast<std::uint8_t>(0xA0 + i);
    CCardCollection cards;
    AddCard(cards, {.code = 3, .name = "N"})->SetIdentity(IdentityOf(1));
    const LockedBytes payload = EncodePayload(cards, PayloadSettings{6, 0x11223344}, kNow);

    // "TessalineSealed2", Argon2id, XChaCha20-Poly1305, 0, 0, opslimit 2, memlimit 16 KiB.
    Bytes expected = {'T',  'e',  's',  's',  'a',  'l',  'i',  'n',  'e',  'S',  'e',
                      'a',  'l',  'e',  'd',  '2',  0x01, 0x01, 0x00, 0x00, 0x02, 0x00,
                      0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    expected.insert(expected.end(), salt.begin(), salt.end());
    expected.insert(expected.end(), nonce.begin(), nonce.end());
    ASSERT_EQ(expected.size(), 72u);
    std::array<std::uint8_t, 32> key{};
    ASSERT_EQ(crypto_pwhash(key.data(), key.size(), kPassword.data(), kPassword.size(), salt.data(),
                            2, 16 * 1024, crypto_pwhash_ALG_ARGON2ID13),
              0);
    expected.resize(72 + payload.size() + 16);
    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(expected.data() + 72, &sealedSize, payload.data(),
                                               payload.size(), expected.data(), 72, nullptr,
                                               nonce.data(), key.data());
    ASSERT_EQ(sealedSize, payload.size() + 16);
    expected.resize(72 + sealedSize + 32);
    crypto_generichash(expected.data() + 72 + sealedSize, 32, expected.data(), 72 + sealedSize,
                       nullptr, 0);

    const std::optional<Bytes> sealed =
        Seal2Bytes(payload, kPassword, SealSettings{2, 16 * 1024}, salt, nonce);
    ASSERT_TRUE(sealed.has_value());
    EXPECT_EQ(*sealed, expected);

    // The payload, read by the tests' own decoder: one card, as the schema says.
    const Item decoded = DecodeStrictly(Bytes(payload.begin(), payload.end()));
    CheckPayload(decoded);
    EXPECT_EQ(decoded.At(2)->number, 6u);
    EXPECT_EQ(decoded.At(3)->number, 0x11223344u);
    ASSERT_EQ(decoded.At(4)->items.size(), 1u);
    const Item& card = decoded.At(4)->items[0];
    EXPECT_EQ(card.At(5)->bytes, "N");
    EXPECT_EQ(card.At(1)->number, 3u);
    const CardIdentity id = IdentityOf(1);
    EXPECT_EQ(card.At(0)->bytes, std::string(id.begin(), id.end()));

    // The reader gets the card and the header value back out of the fixture.
    auto o = testing::OpenBytes(expected, {kPassword});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(o->result.format, FileFormat::Sealed);
    EXPECT_EQ(o->state.readSealedLayout, 2);
    EXPECT_EQ(o->state.headerValue18, 0x11223344u);
    EXPECT_EQ(o->state.seal, (SealSettings{2, 16 * 1024}));
    ASSERT_EQ(o->cards.List(3).Count(), 1);
    EXPECT_EQ(o->cards.List(3).CardAt(0)->Identity(), id);
}

TEST(Sealed2File, ASavedFileOpensWithLibsodiumAndHoldsAPayloadOfTheSchema) {
    CCardCollection cards;
    SampleCards(cards);
    const Bytes file = WrittenBytes(cards, SealedState());
    EXPECT_EQ(SealedLayoutOf(file), 2);
    const std::optional<Bytes> payload = OpenWithLibsodium(file, kPassword);
    ASSERT_TRUE(payload.has_value());
    const Item decoded = DecodeStrictly(*payload);
    CheckPayload(decoded);
    EXPECT_EQ(decoded.At(1)->number, 7u);  // history size
    ASSERT_EQ(decoded.At(4)->items.size(), 2u);
    const Item& bank = decoded.At(4)->items[0];
    EXPECT_EQ(bank.At(17)->items.size(), 2u);
    EXPECT_EQ(bank.At(13)->items[1].bytes, "w\xC3\xB6rk");
    EXPECT_EQ(bank.At(9)->bytes.size(), 40000u);
    // The handheld's deleted card: its name, never its secrets.
    ASSERT_EQ(decoded.At(6)->items.size(), 1u);
    EXPECT_EQ(decoded.At(6)->items[0].At(5)->bytes, "gone");
    EXPECT_EQ(decoded.At(6)->items[0].At(8)->bytes, "");
    EXPECT_EQ(decoded.At(5)->items.size(), 1u);
    EXPECT_EQ(decoded.At(7)->items.size(), 1u);
    // No card text shows through the seal.
    const std::string asText(file.begin(), file.end());
    EXPECT_EQ(asText.find("now-secret"), std::string::npos);
}

TEST(Sealed2File, EveryFieldSurvivesASaveAndARead) {
    CCardCollection cards;
    SampleCards(cards);
    Texts expected = DescribeAll(cards);
    // The deleted card's secrets are not written.
    for (std::string& line : expected)
        if (line.rfind("deleted|", 0) == 0)
            line.replace(line.find("never written"), 13, "");
    const Bytes file = WrittenBytes(cards, SealedState());
    auto o = testing::OpenBytes(file, {kPassword});
    ASSERT_TRUE(o->result.ok);
    EXPECT_FALSE(o->result.ReadInPart());
    EXPECT_EQ(DescribeAll(o->cards), expected);
    EXPECT_EQ(o->state.headerValue18, 0xA1B2C3D4u);
    EXPECT_EQ(o->state.payloadVersion, 1u);
    // And a second save writes the same payload.
    const Bytes again = WrittenBytes(o->cards, o->state);
    EXPECT_EQ(OpenWithLibsodium(again, kPassword), OpenWithLibsodium(file, kPassword));
}

TEST(Sealed2File, EveryChangedByteIsDamageAndNoPasswordIsAsked) {
    ASSERT_GE(sodium_init(), 0);
    CCardCollection cards;
    AddCard(cards, {.code = 5, .name = "Mail", .user = "jo", .password = "pw"});
    const Bytes file = WrittenBytes(cards, SealedState());
    std::vector<std::pair<std::string, Bytes>> damaged;
    for (std::size_t i = 0; i < file.size(); ++i) {
        for (std::uint8_t mask : {std::uint8_t{0x01}, std::uint8_t{0x80}}) {
            Bytes d = file;
            d[i] ^= mask;
            damaged.emplace_back("byte " + std::to_string(i) + " mask " + std::to_string(mask), d);
        }
    }
    damaged.emplace_back("last byte cut off", Bytes(file.begin(), file.end() - 1));
    damaged.emplace_back("a byte added", [&] {
        Bytes d = file;
        d.push_back(0);
        return d;
    }());
    damaged.emplace_back("the hash cut off", Bytes(file.begin(), file.end() - 32));
    damaged.emplace_back("too short for header, tag and hash",
                         Bytes(file.begin(), file.begin() + 119));
    damaged.emplace_back("the magic alone", Bytes(file.begin(), file.begin() + 16));
    for (std::size_t n = 0; n < damaged.size(); ++n) {
        const auto& [what, bytes] = damaged[n];
        SCOPED_TRACE(what);
        // No password is queued: a prompt would fail the test.
        auto o = testing::OpenBytes(bytes, {}, "Vault.tse");
        EXPECT_FALSE(o->result.ok);
        EXPECT_FALSE(o->result.wrongPassword);
        // A changed magic is no longer a sealed file at all.
        const bool magic = n < 32;
        EXPECT_EQ(o->ui.Texts(), Texts{magic ? msg::kNotTessalineFile : Damaged("Vault.tse")});
        EXPECT_EQ(o->cards.TotalStoredSize(), 0u);
    }
}

TEST(Sealed2File, AWholeFileThatDoesNotOpenHasTheWrongPassword) {
    CCardCollection cards;
    AddCard(cards, {.code = 5, .name = "Mail"});
    const Bytes file = WrittenBytes(cards, SealedState());
    auto o = testing::OpenBytes(file, {std::string("correct horsf")});
    EXPECT_FALSE(o->result.ok);
    EXPECT_TRUE(o->result.wrongPassword);
    EXPECT_EQ(o->ui.Texts(), Texts{msg::kPasswordNotCorrect});
    // Unknown key settings in a whole file: this version cannot read it (no password asked).
    Bytes unknownKdf = file;
    unknownKdf[16] = 2;
    const Bytes rehashed = [&] {
        Bytes b(unknownKdf.begin(), unknownKdf.end() - 32);
        b.resize(unknownKdf.size());
        crypto_generichash(b.data() + b.size() - 32, 32, b.data(), b.size() - 32, nullptr, 0);
        return b;
    }();
    auto u = testing::OpenBytes(rehashed);
    EXPECT_EQ(u->ui.Texts(), Texts{msg::kSealedUnreadable});
}

TEST(Sealed2File, LegacyFilesRoundTripThroughTheNewLayoutToTheSameTextsOnScreen) {
    // Windows-1252 bytes, UTF-8 bytes and plain ASCII, as older files hold them.
    CCardCollection cards;
    AddCard(cards, {.code = 0,
                    .name = "Caf\xE9",
                    .user = "na\xEFve",
                    .password = "\x80uro",
                    .note = "line 1\r\nline 2",
                    .attributes = 1,
                    .sync = 4,
                    .time = 3'800'000'123u,
                    .recordId = 5});
    AddCard(cards, {.code = 8, .name = "\xC3\xA9t\xC3\xA9", .password = "\xE2\x82\xAC", .time = 7});
    AddCard(cards, {.code = 14, .name = "plain", .note = "ascii only", .time = 0xFFFFFFFFu});
    AddCard(cards, {.code = 2, .name = "gone", .sync = CCard::kDeletedBit, .time = 99});
    auto shown = [](const CCardCollection& c) {
        Texts out;
        for (const std::string& line : testing::Describe(c))
            out.push_back(ShownAsUtf8(line));
        return out;
    };
    const Texts onScreen = shown(cards);

    auto legacy = testing::OpenBytes(WrittenBytes(cards, PlainState()));
    ASSERT_TRUE(legacy->result.ok);
    // An older file's stamp gives both times.
    const CCard& cafe = *legacy->cards.List(0).CardAt(0);
    EXPECT_EQ(cafe.CreatedMs(), MsOfCardStamp(3'800'000'123u));
    EXPECT_EQ(cafe.ModifiedMs(), cafe.CreatedMs());

    FileCipherState sealedState = legacy->state;
    sealedState.encryptOnSave = true;
    sealedState.sealed = true;
    sealedState.seal = kQuickSeal;
    sealedState.encryptionPassword = kPassword;
    auto sealed = testing::OpenBytes(WrittenBytes(legacy->cards, sealedState), {kPassword});
    ASSERT_TRUE(sealed->result.ok);
    EXPECT_EQ(shown(sealed->cards), onScreen);
    EXPECT_EQ(sealed->state.headerValue18, 0xA1B2C3D4u);

    for (bool compatible : {false, true}) {
        SCOPED_TRACE(compatible ? "compatible" : "plain");
        FileCipherState back = sealed->state;
        back.sealed = false;
        back.encryptOnSave = compatible;
        auto again = compatible ? testing::OpenBytes(WrittenBytes(sealed->cards, back), {kPassword})
                                : testing::OpenBytes(WrittenBytes(sealed->cards, back));
        ASSERT_TRUE(again->result.ok);
        EXPECT_EQ(shown(again->cards), onScreen);
        EXPECT_EQ(again->state.headerValue18, 0xA1B2C3D4u);
    }
}

TEST(Sealed2File, EntriesThisVersionDoesNotKnowAreWrittenBackWhereTheirKeysSort) {
    ASSERT_GE(sodium_init(), 0);
    CCardCollection cards;
    SampleCards(cards);
    const std::optional<Bytes> payload =
        OpenWithLibsodium(WrittenBytes(cards, SealedState()), kPassword);
    ASSERT_TRUE(payload.has_value());
    Item tree = DecodeStrictly(*payload);
    // A newer program's entries: an integer key after ours, a text key, in the payload, in
    // a card and in an earlier version.
    auto addUnknown = [](Item& map, const std::string& tag) {
        map.entries.emplace_back(Item::U(40), Item::T(tag));
        map.entries.emplace_back(Item::T("zz-" + tag), Item::A({Item::U(1), Item::T("two")}));
    };
    addUnknown(tree, "file");
    Item& bank = ValueOf(tree, 4).items[0];
    addUnknown(bank, "card");
    addUnknown(ValueOf(bank, 17).items[1], "version");
    const std::string encoded = testing::cbor::Encode(tree);
    const Bytes file = SealWithLibsodium(Bytes(encoded.begin(), encoded.end()), kPassword);

    auto o = testing::OpenBytes(file, {kPassword});
    ASSERT_TRUE(o->result.ok);
    EXPECT_FALSE(o->result.ReadInPart());
    EXPECT_FALSE(o->cards.UnknownEntries().empty());
    // Written back unchanged: the whole payload is the one the newer program wrote.
    const std::optional<Bytes> resaved =
        OpenWithLibsodium(WrittenBytes(o->cards, o->state), kPassword);
    ASSERT_TRUE(resaved.has_value());
    EXPECT_EQ(std::string(resaved->begin(), resaved->end()), encoded);
    testing::cbor::Decoder check(*resaved);
    EXPECT_TRUE(check.DecodeAll().has_value());
    EXPECT_TRUE(check.Deterministic());
}

TEST(Sealed2File, ANewerPayloadVersionIsReadButOpensReadOnly) {
    CCardCollection cards;
    AddCard(cards, {.code = 5, .name = "Mail"})->SetIdentity(IdentityOf(9));
    const std::optional<Bytes> payload =
        OpenWithLibsodium(WrittenBytes(cards, SealedState()), kPassword);
    ASSERT_TRUE(payload.has_value());
    Item tree = DecodeStrictly(*payload);
    ValueOf(tree, 0).number = 2;
    const std::string encoded = testing::cbor::Encode(tree);
    const Bytes file = SealWithLibsodium(Bytes(encoded.begin(), encoded.end()), kPassword);
    auto o = testing::OpenBytes(file, {kPassword}, "Vault.tse");
    ASSERT_TRUE(o->result.ok);
    EXPECT_TRUE(o->result.writtenByNewer);
    EXPECT_TRUE(o->result.ReadInPart());
    EXPECT_FALSE(o->result.ReadDamaged());
    EXPECT_EQ(o->ui.Texts(),
              Texts{"Vault.tse was written by a newer Tessaline; it opens read-only."});
    EXPECT_EQ(o->cards.List(5).Count(), 1);
    EXPECT_EQ(o->state.payloadVersion, 2u);
}

TEST(Sealed2File, PayloadsThatAreNotOursAreRefusedAfterTheSealOpens) {
    struct Case {
        const char* what;
        std::string_view payload;
    };
    const Case cases[] = {
        {"empty", ""sv},
        {"not a map", "\x83\x01\x02\x03"sv},
        {"no version", "\xA1\x01\x0A"sv},
        {"version 0", "\xA1\x00\x00"sv},
        {"the version twice", "\xA2\x00\x01\x00\x01"sv},
        {"cards not an array", "\xA2\x00\x01\x04\x01"sv},
        {"bytes after the map", "\xA1\x00\x01\x00"sv},
        {"a card that is no map", "\xA2\x00\x01\x04\x81\x01"sv},
        {"an identity of 3 bytes", "\xA2\x00\x01\x04\x81\xA1\x00\x43\x01\x02\x03"sv},
        {"history inside history", "\xA2\x00\x01\x04\x81\xA1\x11\x81\xA1\x11\x80"sv},
        {"a text where a number belongs", "\xA2\x00\x01\x01\x61\x35"sv},
        {"an indefinite map inside", "\xA2\x00\x01\x04\x81\xBF\xFF"sv},
        {"cut off", "\xA2\x00\x01\x04\x85"sv},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes file = SealWithLibsodium(Bytes(c.payload.begin(), c.payload.end()), kPassword);
        auto o = testing::OpenBytes(file, {kPassword});
        EXPECT_FALSE(o->result.ok);
        EXPECT_FALSE(o->result.wrongPassword);
        EXPECT_EQ(o->ui.Texts(), Texts{msg::kPayloadUnreadable});
    }
    // The smallest payload of ours: just the version.
    const Bytes smallest = SealWithLibsodium(Bytes{0xA1, 0x00, 0x01}, kPassword);
    auto o = testing::OpenBytes(smallest, {kPassword});
    EXPECT_TRUE(o->result.ok);
    EXPECT_EQ(o->cards.HistorySize(), kDefaultHistorySize);
}

TEST(Sealed2File, TombstonesOlderThanAYearAreDroppedOnSave) {
    struct Case {
        std::int64_t age;
        bool kept;
    };
    const Case cases[] = {{0, true},
                          {kTombstoneKeepMs, true},
                          {kTombstoneKeepMs + 1, false},
                          {-1000, true},
                          {kTombstoneKeepMs * 3, false}};
    CCardCollection cards;
    Texts expected;
    std::uint8_t n = 0;
    for (const Case& c : cases) {
        const Tombstone t{IdentityOf(++n), kNow - c.age};
        EXPECT_EQ(TombstoneKept(t, kNow), c.kept) << c.age;
        cards.Tombstones().push_back(t);
        if (c.kept)
            expected.push_back(IdentityHex(t.identity));
    }
    const LockedBytes payload = EncodePayload(cards, PayloadSettings{}, kNow);
    CCardCollection read;
    ASSERT_TRUE(DecodePayload(payload, 0, read).ok);
    Texts kept;
    for (const Tombstone& t : read.Tombstones())
        kept.push_back(IdentityHex(t.identity));
    EXPECT_EQ(kept, expected);
}

TEST(Sealed2File, OlderLayoutsStoreTheStampOfTheModifiedTime) {
    const std::uint32_t stamp = 3'800'000'000u;
    struct Case {
        const char* what;
        std::uint32_t cardStamp;
        std::int64_t modifiedMs;
        std::uint32_t written;
    };
    const Case cases[] = {
        {"only a stamp (an older file)", stamp, 0, stamp},
        {"both agree", stamp, MsOfCardStamp(stamp) + 999, stamp},
        {"changed in milliseconds", 0, MsOfCardStamp(stamp) + 5, stamp},
        {"stamp changed later than the milliseconds", stamp + 60, MsOfCardStamp(stamp), stamp + 60},
        {"milliseconds later than the stamp", stamp - 60, MsOfCardStamp(stamp), stamp},
        {"before 1904", 0, MsOfCardStamp(0) - 1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCard card;
        card.SetModificationTime(c.cardStamp);
        card.SetModifiedMs(c.modifiedMs);
        EXPECT_EQ(LegacyStampOf(card), c.written);
        // And that is the stamp of a plain file.
        CCardCollection cards;
        cards.AddCardToCategory(0, cards.Adopt(card));
        const Bytes file = WrittenBytes(cards, PlainState());
        EXPECT_EQ(GetU32(file.data() + kHeaderSize + 4), c.written);
    }
}

}  // namespace
}  // namespace tessaline
