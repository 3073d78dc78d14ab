// The current data file format: exact bytes written, what the reader makes of them,
// passwords, and damaged files.

#include <gtest/gtest.h>
#include <openssl/blowfish.h>

#include <cstring>

#include "core/base/message_texts.h"
#include "core/document/file_with_user.h"
#include "core/file/blowfish.h"
#include "core/file/data_file.h"
#include "core/file/safe_file.h"
#include "core/file/sha1.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "support/card_fixtures.h"
#include "support/data_file_reading.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;
using testing::Describe;
using testing::ScriptedAnswers;
using Bytes = std::vector<std::uint8_t>;

const Bytes kEmptyPlainFile = {0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
                               0x00, 0x00, 0x00, 0x6E, 0x4C, 0x73, 0x54, 0x00, 0x00, 0x00, 0x00};

Bytes Build(const CCardCollection& cards, FileCipherState state, ScriptedAnswers& ui) {
    auto bytes = BuildDataFileWithUser(cards, state, ui);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(Bytes{});
}

Bytes BuildPlain(const CCardCollection& cards, std::uint32_t value18 = 0) {
    ScriptedAnswers ui;
    FileCipherState state;
    state.headerValue18 = value18;
    return Build(cards, state, ui);
}

Bytes BuildEncrypted(const CCardCollection& cards, const std::string& password) {
    ScriptedAnswers ui;
    FileCipherState state;
    state.encryptOnSave = true;
    state.encryptionPassword = password;
    return Build(cards, state, ui);
}

std::unique_ptr<testing::OpenedFile<>> Open(
    const Bytes& bytes, std::vector<std::optional<std::string>> passwords = {}) {
    return testing::OpenBytes(bytes, std::move(passwords));
}

// Deciphers with OpenSSL's Blowfish, whose halves are big-endian: each half of a block
// is byte-reversed in the file.
Bytes DecipherWithOpenSsl(const Bytes& data, const std::string& password) {
    BF_KEY key;
    BF_set_key(&key, static_cast<int>(password.size()),
               reinterpret_cast<const unsigned char*>(password.data()));
    Bytes out(data);
    for (std::size_t i = 0; i + 8 <= out.size(); i += 8) {
        unsigned char block[8];
        for (int k = 0; k < 4; ++k) {
            block[k] = out[i + 3 - k];
            block[4 + k] = out[i + 7 - k];
        }
        BF_ecb_encrypt(block, block, &key, BF_DECRYPT);
        for (int k = 0; k < 4; ++k) {
            out[i + 3 - k] = block[k];
            out[i + 7 - k] = block[4 + k];
        }
    }
    return out;
}

CCardCollection& SampleCards(CCardCollection& cards) {
    AddCard(cards, {.code = kWwwSites,
                    .name = "Example",
                    .address = "https://example.org",
                    .user = "alice",
                    .password = "s3cret!",
                    .note = "line 1\r\nline 2",
                    .attributes = 3,
                    .sync = 4,
                    .time = 3'300'000'000u,
                    .recordId = 77});
    AddCard(cards, {.code = kBankAccounts,
                    .name = "Bank",
                    .address = "1234",
                    .user = "Alice A.",
                    .password = "DE00 1234",
                    .attributes = 0xF0,
                    .sync = 0x84});
    AddCard(cards,
            {.code = kMiscellaneous, .name = "\xC4rger \xFC", .note = std::string(3000, 'n')});
    AddCard(cards, {.code = kNewsgroups, .name = "gone", .sync = CCard::kDeletedBit | 4});
    return cards;
}

TEST(DataFileWriter, EmptyPlainDocumentIsTheBareHeader) {
    CCardCollection cards;
    EXPECT_EQ(BuildPlain(cards), kEmptyPlainFile);
}

TEST(DataFileWriter, EmptyEncryptedDocumentIsHeaderPlusCheckValueAndPadding) {
    CCardCollection cards;
    const Bytes file = BuildEncrypted(cards, "password1");
    ASSERT_EQ(file.size(), 22u + 24u);
    Bytes header = kEmptyPlainFile;
    header[12] = 1;
    EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
    const Bytes plain = DecipherWithOpenSsl(Bytes(file.begin() + 22, file.end()), "password1");
    const Sha1Digest check = Sha1("password1");
    EXPECT_TRUE(std::equal(check.begin(), check.end(), plain.begin()));
    EXPECT_EQ(Bytes(plain.begin() + 20, plain.end()), Bytes(4, 0));
}

TEST(DataFileWriter, NewsgroupsCardHasTheExactRecordBytes) {
    CCardCollection cards;
    AddCard(cards, {.code = kNewsgroups, .name = "N"});
    const Bytes file = BuildPlain(cards);
    Bytes expected = {0x03, 0x00, 0x00, 0x00};
    expected.insert(expected.end(), 16, 0);
    const Bytes tail = {0x06, 0x00, 0x00, 0x00, 0x4E, 0x00, 0x00, 0x00, 0x00, 0x00};
    expected.insert(expected.end(), tail.begin(), tail.end());
    ASSERT_EQ(file.size(), 22u + 30u);
    EXPECT_EQ(Bytes(file.begin() + 22, file.end()), expected);
}

TEST(DataFileWriter, CardFieldsAndListOrderInTheRecords) {
    CCardCollection cards;
    AddCard(cards, {.code = kMiscellaneous, .name = "last"});
    AddCard(cards, {.code = kWwwForms, .name = "d", .sync = CCard::kDeletedBit});
    AddCard(cards, {.code = kWwwSites,
                    .name = "first",
                    .attributes = 2,
                    .sync = 4,
                    .time = 0x01020304,
                    .recordId = 0xA0B0C0D0});
    const Bytes file = BuildPlain(cards, 0xDEADBEEF);
    EXPECT_EQ(file[18], 0xEF);
    EXPECT_EQ(file[21], 0xDE);
    // first: code 0, attribute 2, sync 4, time and record id little-endian, L = 10.
    const Bytes first = {0x00, 0x00, 0x02, 0x04, 0x04, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0,
                         0,    0,    0,    0,    0,    0,    0,    0,    10,   0,    0,    0};
    EXPECT_EQ(Bytes(file.begin() + 22, file.begin() + 46), first);
    EXPECT_EQ(std::string(file.begin() + 46, file.begin() + 51), "first");
    // Then Miscellaneous, then the deleted card.
    EXPECT_EQ(file[56], kMiscellaneous);
    EXPECT_EQ(file[56 + 33], kWwwForms);
    EXPECT_EQ(file.size(), 22u + 34u + 33u + 30u);
}

TEST(DataFileRoundTrip, PlainAndEncryptedKeepEveryCardAndField) {
    CCardCollection cards;
    SampleCards(cards);
    for (bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        const Bytes file = encrypted ? BuildEncrypted(cards, "correct horse") : BuildPlain(cards);
        auto o = encrypted ? Open(file, {std::string("correct horse")}) : Open(file);
        ASSERT_TRUE(o->result.ok);
        EXPECT_EQ(Describe(o->cards), Describe(cards));
        EXPECT_EQ(o->state.encryptOnSave, encrypted);
        EXPECT_EQ(o->state.encryptionPassword, encrypted ? "correct horse" : "");
        EXPECT_TRUE(o->ui.shown.empty());
        EXPECT_FALSE(o->result.stoppedEarly);
        // Saving again what was read gives the same bytes.
        if (!encrypted) {
            EXPECT_EQ(BuildPlain(o->cards), file);
        }
    }
}

TEST(DataFileRoundTrip, ValueAtOffset18SurvivesOpenAndSave) {
    CCardCollection cards;
    SampleCards(cards);
    auto o = Open(BuildPlain(cards, 0x12345678));
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(o->state.headerValue18, 0x12345678u);
    ScriptedAnswers ui;
    const Bytes again = Build(o->cards, o->state, ui);
    EXPECT_EQ(again[18], 0x78);
    EXPECT_EQ(again[21], 0x12);
}

TEST(DataFileRoundTrip, EncryptedFileReencryptsUnderTheSamePasswordWithoutAsking) {
    CCardCollection cards;
    SampleCards(cards);
    auto first = Open(BuildEncrypted(cards, "P4ssword"), {std::string("P4ssword")});
    ASSERT_TRUE(first->result.ok);
    ScriptedAnswers ui;
    const Bytes saved = Build(first->cards, first->state, ui);
    EXPECT_TRUE(ui.passwordTitles.empty());
    auto second = Open(saved, {std::string("P4ssword")});
    ASSERT_TRUE(second->result.ok);
    EXPECT_EQ(Describe(second->cards), Describe(cards));
}

TEST(DataFileReader, DateTextIsBuiltWithTheDateFormatAndCategoryNameIsEmpty) {
    CCardCollection cards;
    AddCard(cards, {.code = kWwwSites, .name = "x", .time = 3'000'000'000u});
    ScriptedAnswers ui;
    MemoryProfile profile;
    profile.WriteInt("Internet Preferences", "Date Format", 4);
    const ReadResult opened = ReadDataFileWithUser(
        BuildPlain(cards), UserReadRequest{ui, DateFormatIndex(profile), "f", ""});
    ASSERT_TRUE(opened.ok);
    const CCardCollection& read = *opened.cards;
    const std::string date = read.List(kWwwSites).CardAt(0)->DateText();
    EXPECT_EQ(date.size(), 10u);  // %Y-%m-%d
    EXPECT_EQ(date.substr(0, 4), "1999");
    EXPECT_TRUE(read.List(kWwwSites).CardAt(0)->CategoryNameText().empty());
}

TEST(DataFileReader, FilingByDeletedMarkAndCategoryCode) {
    // Records written by hand: a deleted Newsgroups card, a code-15 card, a code-100 card.
    Bytes file = kEmptyPlainFile;
    auto record = [&](std::uint8_t code, std::uint8_t sync, const char* name) {
        const std::size_t len = std::strlen(name);
        Bytes r = {code, 0, 0, sync};
        r.insert(r.end(), 16, 0);
        const std::uint32_t L = static_cast<std::uint32_t>(len + 5);
        for (int s = 0; s < 32; s += 8)
            r.push_back(static_cast<std::uint8_t>(L >> s));
        r.insert(r.end(), name, name + len);
        r.insert(r.end(), 5, 0);
        file.insert(file.end(), r.begin(), r.end());
    };
    record(3, CCard::kDeletedBit, "deleted news");
    record(15, 0, "unknown code");
    record(100, 0, "code 100");
    record(3, 0, "news");
    auto o = Open(file);
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(o->cards.List(kNewsgroups).Count(), 1);
    ASSERT_EQ(o->cards.DeletedList().Count(), 2);
    EXPECT_EQ(o->cards.DeletedList().CardAt(0)->Name(), "deleted news");
    EXPECT_EQ(o->cards.DeletedList().CardAt(1)->Name(), "code 100");
    EXPECT_EQ(o->cards.LiveCardCount(), 1);
}

TEST(DataFileReader, PasswordProblems) {
    CCardCollection cards;
    SampleCards(cards);
    const Bytes file = BuildEncrypted(cards, "rightpassword");
    struct Case {
        const char* what;
        std::optional<std::string> entered;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"wrong", std::string("wrongpassword"), {msg::kPasswordNotCorrect}},
        {"wrong case", std::string("RIGHTPASSWORD"), {msg::kPasswordNotCorrect}},
        {"empty", std::string(""), {msg::kMustEnterPassword, msg::kPasswordNotCorrect}},
        {"cancelled", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto o = Open(file, {c.entered});
        EXPECT_FALSE(o->result.ok);
        EXPECT_EQ(o->ui.Texts(), c.messages);
        EXPECT_EQ(o->state.encryptOnSave, false);
        EXPECT_TRUE(o->state.encryptionPassword.empty());
        ASSERT_EQ(o->ui.passwordTitles.size(), 1u);
        EXPECT_EQ(o->ui.passwordTitles[0], "Password for file.tse");
    }
}

TEST(DataFileReader, RevisionFiveUsesTheZeroTableSchedule) {
    CCardCollection cards;
    AddCard(cards, {.code = kSoftwareKeys, .name = "Editor", .password = "KEY-123"});
    Bytes file = BuildPlain(cards);
    // Encipher the check value and records by hand with the zero-table schedule.
    Bytes plain;
    const Sha1Digest check = Sha1("handheld1");
    plain.insert(plain.end(), check.begin(), check.end());
    plain.insert(plain.end(), file.begin() + 22, file.end());
    plain.resize((plain.size() + 7) / 8 * 8, 0);
    Blowfish cipher;
    cipher.SetKey(reinterpret_cast<const std::uint8_t*>("handheld1"), 9, true);
    cipher.EncipherBuffer(plain.data(), plain.size() / 8);
    Bytes encrypted(file.begin(), file.begin() + 22);
    encrypted[1] = 5;
    encrypted[12] = 1;
    encrypted.insert(encrypted.end(), plain.begin(), plain.end());

    auto o = Open(encrypted, {std::string("handheld1")});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(Describe(o->cards), Describe(cards));
    // The same bytes under revision 6 are read with the standard schedule and fail.
    encrypted[1] = 6;
    auto wrong = Open(encrypted, {std::string("handheld1")});
    EXPECT_FALSE(wrong->result.ok);
    EXPECT_EQ(wrong->ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
}

TEST(DataFileReader, UnrecognisedAndEmptyFiles) {
    Bytes wrongCreator = kEmptyPlainFile;
    wrongCreator[14] = 'x';
    Bytes badEncryptionByte = kEmptyPlainFile;
    badEncryptionByte[12] = 2;
    struct Case {
        const char* what;
        Bytes file;
        bool ok;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"empty file", {}, true, {msg::kEmptyFile}},
        {"wrong creator code", wrongCreator, false, {msg::kNotTessalineFile}},
        {"shorter than a header",
         Bytes(kEmptyPlainFile.begin(), kEmptyPlainFile.end() - 1),
         false,
         {msg::kNotTessalineFile}},
        {"one byte", {0x00}, false, {msg::kNotTessalineFile}},
        {"text file", Bytes(40, 'a'), false, {msg::kNotTessalineFile}},
        {"encryption byte 2", badEncryptionByte, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto o = Open(c.file);
        EXPECT_EQ(o->result.ok, c.ok);
        EXPECT_EQ(o->ui.Texts(), c.messages);
        EXPECT_EQ(o->cards.LiveCardCount(), 0);
    }
}

TEST(DataFileReader, DamagedRecordsEndTheReadingWithTheCardsReadSoFar) {
    CCardCollection cards;
    AddCard(cards, {.code = kWwwSites, .name = "one"});
    AddCard(cards, {.code = kWwwSites, .name = "two", .note = "a longer note here"});
    const Bytes good = BuildPlain(cards);
    const std::size_t secondStart = 22 + 32;

    Bytes cutShort(good.begin(), good.end() - 5);  // the second block reaches past the end
    Bytes hugeLength = good;
    hugeLength[secondStart + 23] = 0x7F;  // L of the second record near 2^31
    Bytes noTerminators = good;
    for (std::size_t i = secondStart + 24; i < good.size(); ++i) {
        if (noTerminators[i] == 0)
            noTerminators[i] = 'z';
    }
    Bytes tooShortLength = good;
    tooShortLength[secondStart + 20] = 4;  // five texts cannot fit in 4 bytes

    for (const Bytes* file : {&cutShort, &hugeLength, &noTerminators, &tooShortLength}) {
        auto o = Open(*file);
        EXPECT_TRUE(o->result.ok);
        EXPECT_TRUE(o->result.stoppedEarly);
        ASSERT_EQ(o->cards.List(kWwwSites).Count(), 1);
        EXPECT_EQ(o->cards.List(kWwwSites).CardAt(0)->Name(), "one");
    }
    // Nine bytes or fewer after the last record are not a record.
    Bytes trailing = good;
    trailing.insert(trailing.end(), 9, 0xAA);
    auto o = Open(trailing);
    EXPECT_TRUE(o->result.ok);
    EXPECT_FALSE(o->result.stoppedEarly);
    EXPECT_EQ(o->result.unreadBytes, 9u);
    EXPECT_EQ(o->cards.List(kWwwSites).Count(), 2);
}

// Whatever a rewrite of the cards read would not keep marks the file as read in part:
// the document then never writes over it.
TEST(DataFileReader, ReadInPartWheneverARewriteWouldLoseBytes) {
    CCardCollection cards;
    AddCard(cards, {.code = kWwwSites, .name = "one"});
    AddCard(cards, {.code = kBankAccounts, .name = "two", .note = "a longer note here"});
    const Bytes plain = BuildPlain(cards);
    const Bytes encrypted = BuildEncrypted(cards, "longenough");
    const std::size_t secondStart = 22 + 32;
    const std::size_t secondLength = 29 + 3 + 18;

    Bytes badLength = plain;  // one bad length byte: the second record reaches past the end
    badLength[secondStart + 20] = 0xFF;
    Bytes trailingText = plain;
    trailingText.insert(trailingText.end(), {'x', 'y'});
    Bytes trailingZeros = plain;
    trailingZeros.insert(trailingZeros.end(), 3, 0);
    Bytes unknownCategory = plain;
    unknownCategory[secondStart] = 15;
    Bytes slack = plain;  // two bytes after the fifth text inside the second record
    slack[secondStart + 20] += 2;
    slack.insert(slack.end(), {'s', 0});
    Bytes encryptedExtraBlock = encrypted;
    encryptedExtraBlock.insert(encryptedExtraBlock.end(), 8, 0);

    struct Case {
        const char* what;
        const Bytes* file;
        bool inPart;
        int cards;
    };
    const Case cases[] = {
        {"plain, whole", &plain, false, 2},
        {"encrypted, whole with its zero fill", &encrypted, false, 2},
        {"a record reaching past the end", &badLength, true, 1},
        {"text after the last record", &trailingText, true, 2},
        {"zero bytes after the last record of a plain file", &trailingZeros, true, 2},
        {"a card of an unknown category", &unknownCategory, true, 1},
        {"bytes after the texts inside a record", &slack, true, 2},
        {"more zero fill than an encrypted file has", &encryptedExtraBlock, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto o = InspectHeader(*c.file).encrypted ? Open(*c.file, {"longenough"}) : Open(*c.file);
        ASSERT_TRUE(o->result.ok);
        EXPECT_EQ(o->result.ReadInPart(), c.inPart);
        EXPECT_EQ(o->cards.LiveCardCount(), c.cards);
    }
    auto dropped = Open(unknownCategory);
    EXPECT_EQ(dropped->result.droppedCards, 1u);
    EXPECT_EQ(dropped->result.unkeptBytes, secondLength);
    EXPECT_EQ(Open(slack)->result.unkeptBytes, 2u);
}

TEST(DataFileReader, DamagedEncryptedFilesNeverReadPastTheData) {
    CCardCollection cards;
    SampleCards(cards);
    const Bytes good = BuildEncrypted(cards, "longenough");
    // Cut inside the check value, and at an odd length inside the cards.
    for (std::size_t keep : {std::size_t{22}, std::size_t{30}, std::size_t{41}, good.size() - 13}) {
        SCOPED_TRACE(keep);
        auto o = Open(Bytes(good.begin(), good.begin() + static_cast<long>(keep)),
                      {std::string("longenough")});
        if (keep < 22 + 24) {
            EXPECT_FALSE(o->result.ok);
            EXPECT_EQ(o->ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
        } else {
            EXPECT_TRUE(o->result.ok);
            EXPECT_LT(o->cards.LiveCardCount() + o->cards.DeletedList().Count(), 4);
        }
    }
}

TEST(DataFileWriter, RefusesWhatItCannotWriteAndProducesNothing) {
    struct Case {
        const char* what;
        std::vector<CardFields> cards;
        bool encrypt;
        std::string password;
        std::vector<std::string> messages;
    };
    const std::string longText(kMaxTextLength + 1, 'x');
    const Case cases[] = {
        {"no password", {}, true, "", {msg::kPasswordNotSet}},
        {"too large for the compatible layout, sealing declined",
         {{.code = 0, .note = std::string(30000, 'a')},
          {.code = 1, .note = std::string(30000, 'b')},
          {.code = 2, .note = std::string(5500, 'c')}},
         true,
         "password1",
         {TooLargeOfferSealingMessage(65587)}},
        {"text too long, plain, after a card already written and before another",
         {{.code = 0, .name = "fine"},
          {.code = kBankAccounts, .name = "big", .note = longText},
          {.code = 14, .name = "after"}},
         false,
         "",
         {TextTooLongMessage("big"), "Error Writing BankAccounts"}},
        {"deleted card with a long name",
         {{.code = 3, .name = longText, .sync = CCard::kDeletedBit}},
         false,
         "",
         {TextTooLongMessage(longText), "Error Writing DeleteCategories"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCardCollection cards;
        for (const CardFields& s : c.cards)
            AddCard(cards, s);
        FileCipherState state;
        state.encryptOnSave = c.encrypt;
        state.encryptionPassword = c.password;
        ScriptedAnswers ui;
        // Only the offer to seal a file too large for the compatible layout is a question:
        // the user declines it.
        if (!c.password.empty())
            ui.messageAnswers.push_back(MsgAnswer::No);
        EXPECT_FALSE(BuildDataFileWithUser(cards, state, ui).has_value());
        EXPECT_EQ(ui.Texts(), c.messages);
        EXPECT_FALSE(state.sealed);
    }
}

// The readers' limit is the writers' too: a file one byte larger than the readers accept
// is refused, with a message that says the limit and the size.
TEST(DataFileWriter, TheSizeLimitOfTheReadersHoldsForTheWriters) {
    struct Case {
        std::uint64_t size;
        bool readable;
    };
    for (const Case& c : {Case{0, true}, Case{kMaxReadableFileSize, true},
                          Case{kMaxReadableFileSize + 1, false}, Case{287047123, false}}) {
        EXPECT_EQ(ReadableFileSize(c.size), c.readable) << c.size;
    }
    EXPECT_EQ(TooLargeToReadMessage(287047123),
              "The file would take 287,047,123 bytes, but a data file can be opened only when it "
              "takes at most 256 MiB (268,435,456 bytes). The file was not saved: delete cards "
              "or split them into two files.");
}

TEST(DataFileWriter, LargestEncryptedFileThatFitsIsWrittenAndReadBack) {
    CCardCollection cards;
    // 20 + S = 65,535: one byte short of the limit.
    AddCard(cards, {.code = 0, .note = std::string(30000, 'a')});
    AddCard(cards, {.code = 1, .note = std::string(30000, 'b')});
    AddCard(cards, {.code = 2, .note = std::string(65535 - 20 - 60058 - 29, 'c')});
    ASSERT_EQ(cards.TotalStoredSize(), 65515u);
    const Bytes file = BuildEncrypted(cards, "password1");
    EXPECT_EQ(file.size(), 22u + 65536u);
    auto o = Open(file, {std::string("password1")});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(Describe(o->cards), Describe(cards));
}

TEST(FileFormat, InspectHeaderNamesTheFormats) {
    Bytes enc = kEmptyPlainFile;
    enc[12] = 1;
    enc[1] = 5;
    Bytes old1(30, 0);
    std::memcpy(old1.data(), "ENCRYPTEDVersion1.001", 21);
    Bytes old2(30, 0);
    std::memcpy(old2.data(), "NTENCRYPTVersion1.002", 21);
    struct Case {
        Bytes file;
        const char* name;
        bool encrypted;
        int revision;
    };
    const Case cases[] = {
        {{}, "Empty File", false, -1},      {kEmptyPlainFile, "MACSyncVersion", false, 6},
        {enc, "MACSyncVersion", true, 5},   {old1, "Version 1.001", true, -1},
        {old2, "Version 1.002", false, -1}, {Bytes(22, 0), "Not a Tessaline File", false, -1},
    };
    for (const Case& c : cases) {
        const HeaderFacts facts = InspectHeader(c.file);
        EXPECT_STREQ(FormatName(facts.format), c.name);
        EXPECT_EQ(facts.encrypted, c.encrypted) << c.name;
        EXPECT_EQ(facts.revision, c.revision) << c.name;
    }
}

// A zero byte inside a text would end the text when read and shift every later field: the
// writer ends a text at its first zero byte.
TEST(DataFileWriter, AZeroByteEndsATextAndNoFieldMoves) {
    CCardCollection cards;
    AddCard(cards, {.code = kLoginAccounts,
                    .name = std::string("srv\0junk", 8),
                    .address = "host",
                    .user = std::string("me\0", 3),
                    .password = "pw",
                    .note = std::string("n\0\0", 3)});
    for (bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        auto o = encrypted ? Open(BuildEncrypted(cards, "zerozero"), {std::string("zerozero")})
                           : Open(BuildPlain(cards));
        ASSERT_TRUE(o->result.ok);
        EXPECT_FALSE(o->result.stoppedEarly);
        EXPECT_EQ(o->result.unreadBytes, encrypted ? 3u : 0u);  // the cipher's zero padding
        EXPECT_EQ(Describe(o->cards), std::vector<std::string>{"5|5|srv|host|me|pw|n|a0|s0|t0|r0"});
    }
}

// The writer sizes its buffer from the texts' stored lengths and ends the file where the
// last card does: a text longer than a file can hold but cut short by a zero byte still
// fits, and the file holds no room left over after the last card.
TEST(DataFileWriter, ALongTextCutShortByAZeroByteFitsAndTheFileEndsAtTheLastCard) {
    struct Case {
        const char* what;
        std::size_t zeroAt;
        bool fits;
    };
    const Case cases[] = {
        {"zero early", 10, true},
        {"zero right at the limit", kMaxTextLength, true},
        {"zero one past the limit", kMaxTextLength + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string note(kMaxTextLength + 100, 'n');
        note[c.zeroAt] = '\0';
        CCardCollection cards;
        AddCard(cards, {.code = kBankAccounts, .name = "big", .note = note});
        AddCard(cards, {.code = 14, .name = "last", .password = std::string("pw\0pw", 5)});
        ScriptedAnswers ui;
        FileCipherState state;
        const std::optional<Bytes> file = BuildDataFileWithUser(cards, state, ui);
        if (!c.fits) {
            EXPECT_FALSE(file.has_value());
            EXPECT_EQ(ui.Texts(), (std::vector<std::string>{TextTooLongMessage("big"),
                                                            "Error Writing BankAccounts"}));
            continue;
        }
        ASSERT_TRUE(file.has_value());
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{});
        const std::size_t big = kCardHeaderSize + 4 + 1 + 1 + 1 + c.zeroAt + 1;
        const std::size_t last = kCardHeaderSize + 5 + 1 + 1 + 3 + 1;
        EXPECT_EQ(file->size(), kHeaderSize + big + last);
        auto o = Open(*file);
        ASSERT_TRUE(o->result.ok);
        EXPECT_EQ(o->result.unreadBytes, 0u);
        ASSERT_EQ(o->cards.List(kBankAccounts).Count(), 1);
        EXPECT_EQ(o->cards.List(kBankAccounts).CardAt(0)->Note(), std::string(c.zeroAt, 'n'));
        ASSERT_EQ(o->cards.List(14).Count(), 1);
        EXPECT_EQ(o->cards.List(14).CardAt(0)->Password(), "pw");
    }
}

// Deleted cards stay in the file for the handheld's sync, but none of their secrets do,
// whether they were deleted now or read as deleted from an older save.
TEST(DataFileWriter, DeletedCardsKeepOnlyWhatSyncNeeds) {
    CCardCollection cards;
    AddCard(cards, {.code = kWwwSites, .name = "live", .password = "keep me"});
    AddCard(cards, {.code = kBankAccounts,
                    .name = "old bank",
                    .address = "DE00 ADDRESS",
                    .user = "USERID",
                    .password = "PASSWORD",
                    .note = "NOTE",
                    .attributes = 2,
                    .sync = CCard::kDeletedBit | CCard::kChangedBit,
                    .time = 99,
                    .recordId = 31337});
    CCard* coded = cards.Adopt(
        testing::MakeCard({.code = kDeletedCategory, .name = "code 100", .password = "PASSWORD2"}));
    cards.AddToDeletedList(coded);
    for (bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        const Bytes file = encrypted ? BuildEncrypted(cards, "deleted1") : BuildPlain(cards);
        const Bytes plain =
            encrypted ? DecipherWithOpenSsl(Bytes(file.begin() + 22, file.end()), "deleted1")
                      : file;
        const std::string text(plain.begin(), plain.end());
        for (const char* secret : {"ADDRESS", "USERID", "PASSWORD", "NOTE"})
            EXPECT_EQ(text.find(secret), std::string::npos) << secret;
        EXPECT_NE(text.find("keep me"), std::string::npos);
        auto o = encrypted ? Open(file, {std::string("deleted1")}) : Open(file);
        ASSERT_TRUE(o->result.ok);
        EXPECT_EQ(Describe(o->cards),
                  (std::vector<std::string>{"0|0|live|||keep me||a0|s0|t0|r0",
                                            "deleted|7|old bank|||||a2|s6|t99|r31337",
                                            "deleted|100|code 100|||||a0|s0|t0|r0"}));
    }
}

}  // namespace
}  // namespace tessaline
