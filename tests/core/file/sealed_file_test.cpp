// The sealed data file: its exact bytes (checked against libsodium's own functions),
// round trips between the three layouts, wrong passwords, damaged files and the limits
// a reader checks before it claims any memory.

#include <gtest/gtest.h>
#include <sodium.h>

#include <array>
#include <cstring>
#include <thread>

#include "core/base/message_texts.h"
#include "core/document/file_with_user.h"
#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/sealed_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "support/card_fixtures.h"
#include "support/data_file_reading.h"
#include "support/data_files.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::Describe;
using testing::ScriptedAnswers;
using testing::WrittenBytes;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

// The quick key settings; one test below uses the defaults.
using testing::kQuickSeal;
constexpr std::uint32_t kValue18 = 0xA1B2C3D4;

// A user whose busy work runs on a thread of its own, as the desktop program does it,
// and who remembers what each piece of busy work was called.
class ThreadedAnswers : public ScriptedAnswers {
public:
    std::vector<std::string> busy;
    void RunWhileBusy(const std::string& what, const std::function<void()>& work) override {
        busy.push_back(what);
        std::thread worker(work);
        worker.join();
    }
};

void SampleCards(CCardCollection& cards) {
    AddCard(cards, {.code = 0,
                    .name = "Example",
                    .address = "https://example.org/",
                    .user = "jo",
                    .password = "s3cret!",
                    .note = "line 1\r\nline 2",
                    .attributes = 3,
                    .sync = 4,
                    .time = 3800000000u,
                    .recordId = 7});
    AddCard(cards, {.code = 8, .name = "Visa", .password = "4111", .time = 1, .recordId = 9});
    AddCard(cards, {.code = 14, .name = "\xE9t\xE9", .note = "Windows-1252 bytes"});
    // Deleted cards travel in the sealed file too: sync needs them.
    AddCard(cards, {.code = 3, .name = "gone", .sync = CCard::kDeletedBit, .recordId = 12});
}

FileCipherState StateFor(bool encrypt, bool sealed, const std::string& password = {}) {
    FileCipherState state;
    state.encryptOnSave = encrypt;
    state.sealed = sealed;
    state.seal = kQuickSeal;
    state.encryptionPassword = password;
    state.headerValue18 = kValue18;
    return state;
}

// A file of the first sealed layout, which this version reads but no longer writes: the
// plain data file of the cards, sealed.
Bytes Sealed1Bytes(const CCardCollection& cards, const std::string& password) {
    return SealBytes(WrittenBytes(cards, StateFor(false, false)), password, kQuickSeal).value();
}

using Opened = testing::OpenedFile<ThreadedAnswers>;

std::unique_ptr<Opened> Open(std::span<const std::uint8_t> bytes,
                             std::vector<std::optional<std::string>> passwords = {}) {
    return testing::OpenBytes<ThreadedAnswers>(bytes, std::move(passwords));
}

// The 32-byte key as libsodium derives it from the file's own salt and settings.
std::array<std::uint8_t, 32> KeyFor(const std::string& password, const std::uint8_t* salt,
                                    std::uint32_t ops, std::uint64_t mem) {
    std::array<std::uint8_t, 32> key{};
    EXPECT_EQ(crypto_pwhash(key.data(), key.size(), password.data(), password.size(), salt, ops,
                            mem, crypto_pwhash_ALG_ARGON2ID13),
              0);
    return key;
}

// Opens a sealed file with libsodium alone, reading salt, nonce and settings from the
// offsets the layout gives.
std::optional<Bytes> OpenWithLibsodium(const Bytes& file, const std::string& password) {
    if (file.size() < 88)
        return std::nullopt;
    const std::uint32_t ops = GetU32(file.data() + 20);
    const std::uint64_t mem =
        GetU32(file.data() + 24) | static_cast<std::uint64_t>(GetU32(file.data() + 28)) << 32;
    const auto key = KeyFor(password, file.data() + 32, ops, mem);
    Bytes plain(file.size() - 88);
    unsigned long long size = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(plain.data(), &size, nullptr, file.data() + 72,
                                                   file.size() - 72, file.data(), 72,
                                                   file.data() + 48, key.data()) != 0) {
        return std::nullopt;
    }
    plain.resize(size);
    return plain;
}

TEST(SealedFile, FixtureBytesAreExactlyWhatLibsodiumMakesOfThem) {
    ASSERT_GE(sodium_init(), 0);
    const std::string password = "correct horse";
    std::array<std::uint8_t, 16> salt;
    std::array<std::uint8_t, 24> nonce;
    for (std::size_t i = 0; i < salt.size(); ++i)
        salt[i] = static_cast<std::uint8_t>(0x10 + i);
    for (std::size_t i = 0; i < nonce.size(); ++i)
        nonce[i] = static_cast<std::uint8_t>(0xA0 + i);
    // A plain data file with offset 18 = 0x11223344 and one card: Newsgroups, named "N".
    Bytes plain = {0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
                   0x00, 0x00, 0x00, 0x6E, 0x4C, 0x73, 0x54, 0x44, 0x33, 0x22, 0x11};
    const Bytes card = {0x03, 0x00, 0x00, 0x00};
    plain.insert(plain.end(), card.begin(), card.end());
    plain.resize(plain.size() + 16, 0);
    const Bytes block = {0x06, 0x00, 0x00, 0x00, 0x4E, 0x00, 0x00, 0x00, 0x00, 0x00};
    plain.insert(plain.end(), block.begin(), block.end());
    ASSERT_EQ(plain.size(), 22u + 30u);
    // "TessalineSealed1", Argon2id, XChaCha20-Poly1305, 0, 0, opslimit 2, memlimit 16 KiB.
    Bytes header = {'T',  'e',  's',  's',  'a',  'l',  'i',  'n',  'e',  'S',  'e',
                    'a',  'l',  'e',  'd',  '1',  0x01, 0x01, 0x00, 0x00, 0x02, 0x00,
                    0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    header.insert(header.end(), salt.begin(), salt.end());
    header.insert(header.end(), nonce.begin(), nonce.end());
    ASSERT_EQ(header.size(), 72u);

    const auto key = KeyFor(password, salt.data(), 2, 16 * 1024);
    Bytes expected = header;
    expected.resize(72 + plain.size() + 16);
    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(expected.data() + 72, &sealedSize, plain.data(),
                                               plain.size(), header.data(), header.size(), nullptr,
                                               nonce.data(), key.data());
    ASSERT_EQ(sealedSize, plain.size() + 16);

    const std::optional<Bytes> sealed =
        SealBytes(plain, password, SealSettings{2, 16 * 1024}, salt, nonce);
    ASSERT_TRUE(sealed.has_value());
    EXPECT_EQ(*sealed, expected);

    // And the reader gets the card and the offset-18 value back out of those bytes.
    auto o = Open(expected, {password});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(o->result.format, FileFormat::Sealed);
    EXPECT_EQ(Describe(o->cards), Texts{"3|3|N|||||a0|s0|t0|r0"});
    EXPECT_EQ(o->state.headerValue18, 0x11223344u);
    EXPECT_EQ(o->state.seal, (SealSettings{2, 16 * 1024}));
}

TEST(SealedFile, HoldsTheCompletePlainFileAndANewSaltAndNonceEverySave) {
    CCardCollection cards;
    SampleCards(cards);
    const Bytes plain = WrittenBytes(cards, StateFor(false, false));
    const Bytes first = Sealed1Bytes(cards, "hunter22");
    const Bytes second = Sealed1Bytes(cards, "hunter22");

    ASSERT_EQ(first.size(), 72 + plain.size() + 16);
    EXPECT_EQ(OpenWithLibsodium(first, "hunter22"), plain);
    EXPECT_EQ(OpenWithLibsodium(second, "hunter22"), plain);
    // The same 32 leading bytes (magic, ids, settings); salt and nonce differ.
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 32, second.begin()));
    EXPECT_FALSE(std::equal(first.begin() + 32, first.begin() + 48, second.begin() + 32));
    EXPECT_FALSE(std::equal(first.begin() + 48, first.begin() + 72, second.begin() + 48));
    // No card text shows through.
    const std::string asText(first.begin(), first.end());
    EXPECT_EQ(asText.find("s3cret!"), std::string::npos);
    EXPECT_EQ(asText.find("Example"), std::string::npos);
}

TEST(SealedFile, RoundTripsBetweenTheLayoutsKeepEveryFieldAndOffset18) {
    CCardCollection cards;
    SampleCards(cards);
    const Texts original = Describe(cards);
    struct Step {
        const char* what;
        bool encrypt;
        bool sealed;
        FileFormat format;
    };
    const Step steps[] = {
        {"sealed", true, true, FileFormat::Sealed},
        {"plain", false, false, FileFormat::MacSyncVersion},
        {"compatible", true, false, FileFormat::MacSyncVersion},
        {"sealed again", true, true, FileFormat::Sealed},
        {"compatible again", true, false, FileFormat::MacSyncVersion},
    };
    std::unique_ptr<Opened> last;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        FileCipherState state = last ? last->state : StateFor(false, false);
        state.encryptOnSave = step.encrypt;
        state.sealed = step.sealed;
        state.seal = kQuickSeal;
        state.encryptionPassword = "hunter22";
        const Bytes file = WrittenBytes(last ? last->cards : cards, state);
        auto o = step.encrypt ? Open(file, {std::string("hunter22")}) : Open(file);
        ASSERT_TRUE(o->result.ok);
        EXPECT_EQ(o->result.format, step.format);
        EXPECT_FALSE(o->result.stoppedEarly);
        EXPECT_EQ(Describe(o->cards), original);
        EXPECT_EQ(o->state.headerValue18, kValue18);
        EXPECT_EQ(o->state.encryptOnSave, step.encrypt);
        EXPECT_EQ(o->state.sealed, step.sealed);
        EXPECT_EQ(o->state.encryptionPassword, step.encrypt ? "hunter22" : "");
        // The key is derived as busy work, which a window runs off its own thread.
        EXPECT_EQ(o->ui.busy, step.sealed ? Texts{msg::kOpeningSealed} : Texts{});
        last = std::move(o);
    }
}

// Texts are cut short at a zero byte in the sealed layout as in the others.
TEST(SealedFile, SealsTextsCutAtAZeroByte) {
    ASSERT_GE(sodium_init(), 0);
    CCardCollection cards;
    SampleCards(cards);
    AddCard(cards, {.code = 5,
                    .name = std::string("srv\0junk", 8),
                    .user = std::string("me\0", 3),
                    .note = std::string(kMaxTextLength + 10, 'x').replace(20, 1, 1, '\0')});
    AddCard(cards, {.code = 13, .name = "after the cut"});
    const Bytes sealed = WrittenBytes(cards, StateFor(true, true, "zero cut"));
    auto o = Open(sealed, {std::string("zero cut")});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(o->result.unreadBytes, 0u);
    ASSERT_EQ(o->cards.List(5).Count(), 1);
    EXPECT_EQ(o->cards.List(5).CardAt(0)->Note(), std::string(20, 'x'));
    EXPECT_EQ(o->cards.List(13).Count(), 1);
}

TEST(SealedFile, WrongOrEmptyPasswordOpensNothing) {
    CCardCollection cards;
    SampleCards(cards);
    const Bytes file = Sealed1Bytes(cards, "hunter22");
    struct Case {
        std::optional<std::string> password;
        Texts messages;
    };
    const Case cases[] = {
        // A wrong password and a changed file look the same to the seal.
        {"hunter23", {msg::kPasswordOrDamage}},
        {"Hunter22", {msg::kPasswordOrDamage}},
        {"", {msg::kMustEnterPassword, msg::kPasswordNotCorrect}},
        {std::nullopt, {}},  // Cancel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password.value_or("(cancel)"));
        auto o = Open(file, {c.password});
        EXPECT_FALSE(o->result.ok);
        EXPECT_EQ(o->ui.Texts(), c.messages);
        EXPECT_EQ(o->cards.TotalStoredSize(), 0u);
        EXPECT_TRUE(o->state.encryptionPassword.empty());
        EXPECT_EQ(o->ui.passwordTitles, Texts{"Password for file.tse"});
    }
}

TEST(SealedFile, EveryByteChangedIsRejected) {
    CCardCollection cards;
    AddCard(cards, {.code = 5, .name = "Mail", .user = "jo", .password = "pw"});
    const Bytes file = Sealed1Bytes(cards, "hunter22");
    // Two masks per byte: the low bit, and the high bit (which puts any settings byte
    // either out of range or at most 16 MiB, so the loop stays quick).
    for (std::uint8_t mask : {std::uint8_t{0x01}, std::uint8_t{0x80}}) {
        for (std::size_t i = 0; i < file.size(); ++i) {
            SCOPED_TRACE("byte " + std::to_string(i) + " mask " + std::to_string(mask));
            Bytes damaged = file;
            damaged[i] ^= mask;
            auto o = Open(damaged, {std::string("hunter22")});
            EXPECT_FALSE(o->result.ok);
            EXPECT_EQ(o->cards.TotalStoredSize(), 0u);
            EXPECT_TRUE(o->state.encryptionPassword.empty());
            // A file that no longer reads as sealed, or whose key settings are out of
            // range, is refused before the password is asked for.
            o->ui.passwords.clear();
            const Texts shown = o->ui.Texts();
            ASSERT_EQ(shown.size(), 1u);
            if (i < 16) {
                EXPECT_EQ(shown[0], msg::kNotTessalineFile);  // no longer a sealed file
            } else if (i < 32) {
                EXPECT_TRUE(shown[0] == msg::kPasswordOrDamage ||
                            shown[0] == msg::kSealedUnreadable)
                    << shown[0];
            } else {
                // Salt, nonce, payload and tag: the right password does not open it, and
                // the message says the file may have changed.
                EXPECT_EQ(shown[0], msg::kPasswordOrDamage);
            }
        }
    }
}

TEST(SealedFile, UnreadableSettingsAndShortFilesAreRefusedBeforeAnyPasswordOrMemory) {
    CCardCollection cards;
    SampleCards(cards);
    const Bytes good = Sealed1Bytes(cards, "hunter22");
    auto with = [&](std::size_t offset, std::vector<std::uint8_t> bytes) {
        Bytes out = good;
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<long>(offset));
        return out;
    };
    auto cut = [&](std::size_t size) {
        return Bytes(good.begin(), good.begin() + static_cast<long>(size));
    };
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"unknown key derivation", with(16, {2})},
        {"unknown cipher", with(17, {0})},
        {"byte 18 not zero", with(18, {1})},
        {"byte 19 not zero", with(19, {0x80})},
        {"no operations", with(20, {0, 0, 0, 0})},
        {"11 operations", with(20, {11, 0, 0, 0})},
        {"4 billion operations", with(20, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"memory 8191 bytes", with(24, {0xFF, 0x1F, 0, 0, 0, 0, 0, 0})},
        {"memory 1 GiB + 1", with(24, {1, 0, 0, 0x40, 0, 0, 0, 0})},
        {"memory 16 EiB", with(24, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {"the magic alone", cut(16)},
        {"header cut short", cut(71)},
        {"header without a whole tag", cut(87)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(InspectHeader(c.file).format, FileFormat::Sealed);
        // No password is queued: asking for one would fail the test. Without a password
        // no key is derived, so the memory the header claims is never taken.
        auto o = Open(c.file);
        EXPECT_FALSE(o->result.ok);
        EXPECT_EQ(o->ui.Texts(), Texts{msg::kSealedUnreadable});
        EXPECT_TRUE(o->ui.busy.empty());
        EXPECT_EQ(UnsealBytes(c.file, "hunter22").status, UnsealStatus::Unreadable);
    }
    // The bounds themselves are readable.
    for (const SealSettings& s : {SealSettings{1, kSealMemMin}, SealSettings{10, kSealMemMin}}) {
        EXPECT_TRUE(SealSettingsReadable(s));
    }
    EXPECT_TRUE(SealSettingsReadable(SealSettings{1, kSealMemMax}));
}

TEST(SealedFile, AuthenticContentsThatAreNoPlainDataFileAreRefused) {
    // Sealed under the right password, but what is inside is not a plain data file.
    const std::string password = "hunter22";
    CCardCollection cards;
    SampleCards(cards);
    const Bytes compatible = WrittenBytes(cards, StateFor(true, false, password));
    const Bytes sealed = WrittenBytes(cards, StateFor(true, true, password));
    const Bytes inner[] = {Bytes{}, Bytes(21, 0), compatible, sealed, Bytes(100, 'x')};
    for (const Bytes& plain : inner) {
        SCOPED_TRACE(plain.size());
        const auto file = SealBytes(plain, password, kQuickSeal);
        ASSERT_TRUE(file.has_value());
        auto o = Open(*file, {password});
        EXPECT_FALSE(o->result.ok);
        EXPECT_EQ(o->ui.Texts(), Texts{msg::kSealedUnreadable});
        EXPECT_EQ(o->cards.TotalStoredSize(), 0u);
    }
}

TEST(SealedFile, HasNoSizeLimitAndTooLargeCompatibleFilesAreOfferedSealing) {
    CCardCollection cards;
    for (int i = 0; i < 3; ++i)
        AddCard(cards, {.code = i, .note = std::string(30000, static_cast<char>('a' + i))});
    ASSERT_GT(cards.TotalStoredSize() + kCheckValueSize, kEncryptedLimit);

    // Sealed from the start: written without a question.
    const Bytes sealed = WrittenBytes(cards, StateFor(true, true, "hunter22"));
    auto o = Open(sealed, {std::string("hunter22")});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(Describe(o->cards), Describe(cards));

    // Compatible: the user is offered sealing, and yes seals the file.
    FileCipherState state = StateFor(true, false, "hunter22");
    ScriptedAnswers ui;
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    const auto offered = BuildDataFileWithUser(cards, state, ui);
    ASSERT_TRUE(offered.has_value());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, TooLargeOfferSealingMessage(cards.TotalStoredSize()));
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(state.sealed);
    EXPECT_EQ(InspectHeader(*offered).format, FileFormat::Sealed);
    auto again = Open(*offered, {std::string("hunter22")});
    ASSERT_TRUE(again->result.ok);
    EXPECT_EQ(Describe(again->cards), Describe(cards));
}

TEST(SealedFile, SealingRefusesWithoutPasswordOrWithSettingsItCouldNotReadBack) {
    CCardCollection cards;
    SampleCards(cards);
    struct Case {
        const char* what;
        std::string password;
        SealSettings seal;
        Texts messages;
    };
    const Case cases[] = {
        {"no password", "", kQuickSeal, {msg::kPasswordNotSet}},
        {"no operations", "hunter22", {0, kSealMemMin}, {msg::kSealSettingsUnusable}},
        {"too little memory", "hunter22", {1, 1024}, {msg::kSealSettingsUnusable}},
        {"too much memory", "hunter22", {1, kSealMemMax + 1}, {msg::kSealSettingsUnusable}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileCipherState state = StateFor(true, true, c.password);
        state.seal = c.seal;
        ScriptedAnswers ui;
        EXPECT_FALSE(BuildDataFileWithUser(cards, state, ui).has_value());
        EXPECT_EQ(ui.Texts(), c.messages);
    }
}

TEST(SealedFile, DefaultSettingsAreWrittenAndReadBack) {
    CCardCollection cards;
    SampleCards(cards);
    FileCipherState state = StateFor(true, true, "hunter22");
    state.seal = kDefaultSealSettings;
    ThreadedAnswers ui;
    const auto file = BuildDataFileWithUser(cards, state, ui);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(ui.busy, Texts{msg::kSealing});
    const std::optional<SealedHeader> header = ParseSealedHeader(*file);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->settings.opsLimit, 3u);
    EXPECT_EQ(header->settings.memLimit, 256u * 1024 * 1024);
    auto o = Open(*file, {std::string("hunter22")});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(Describe(o->cards), Describe(cards));
    EXPECT_EQ(o->state.seal, kDefaultSealSettings);
}

TEST(SealedFile, DetectionComesBeforeTheOtherLayouts) {
    // The 16 bytes alone decide, whatever follows them.
    Bytes sealed(kSealedMagic.begin(), kSealedMagic.end());
    sealed.resize(100, 0);
    const HeaderFacts facts = InspectHeader(sealed);
    EXPECT_EQ(facts.format, FileFormat::Sealed);
    EXPECT_TRUE(facts.encrypted);
    EXPECT_STREQ(FormatName(FileFormat::Sealed), "Sealed");
    // The second layout's magic is a sealed file too; one letter off is not.
    sealed[15] = '2';
    EXPECT_EQ(InspectHeader(sealed).format, FileFormat::Sealed);
    EXPECT_EQ(SealedLayoutOf(sealed), 2);
    sealed[15] = '3';
    EXPECT_EQ(InspectHeader(sealed).format, FileFormat::NotTessaline);
}

}  // namespace
}  // namespace tessaline
