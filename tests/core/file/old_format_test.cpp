// Reading the two older formats, which are never written.

#include <gtest/gtest.h>

#include <cstring>

#include "core/base/message_texts.h"
#include "core/document/file_with_user.h"
#include "core/file/blowfish.h"
#include "core/file/data_file.h"
#include "core/file/sha1.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "support/card_fixtures.h"
#include "support/data_file_reading.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::ScriptedAnswers;
using Bytes = std::vector<std::uint8_t>;

struct OldCard {
    std::string category, date, name, address, user, password, note;
    bool automatic = false, newWindow = false;
};

void AppendShort(Bytes& out, const std::string& s) {
    out.push_back(static_cast<std::uint8_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}

Bytes OldRecords(const std::vector<OldCard>& cards) {
    Bytes out;
    for (const OldCard& c : cards) {
        for (const std::string* s :
             {&c.category, &c.date, &c.name, &c.address, &c.user, &c.password}) {
            AppendShort(out, *s);
        }
        out.push_back(static_cast<std::uint8_t>(c.note.size()));
        out.push_back(static_cast<std::uint8_t>(c.note.size() >> 8));
        out.insert(out.end(), c.note.begin(), c.note.end());
        out.push_back(c.automatic ? 1 : 0);
        out.push_back(c.newWindow ? 1 : 0);
    }
    return out;
}

// An old file: 9-byte marker, version text, then the check (or skipped bytes) and records.
Bytes OldFile(const char* version, const std::vector<OldCard>& cards,
              const std::string& password = "") {
    const bool v1001 = std::strcmp(version, "Version1.001") == 0;
    Bytes d;
    if (password.empty()) {
        d.insert(d.end(), v1001 ? 3 : 20, 0x55);
    } else if (v1001) {
        d = {'X', 'Y', 'Z'};
    } else {
        const Sha1Digest check = Sha1(password);
        d.assign(check.begin(), check.end());
    }
    const Bytes records = OldRecords(cards);
    d.insert(d.end(), records.begin(), records.end());
    if (!password.empty()) {
        d.resize((d.size() + 7) / 8 * 8, 0);
        Blowfish cipher;
        cipher.SetKey(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
        cipher.EncipherBuffer(d.data(), d.size() / 8);
    }
    Bytes file;
    const std::string preamble =
        std::string(password.empty() ? "NTENCRYPT" : "ENCRYPTED") + version;
    file.assign(preamble.begin(), preamble.end());
    file.insert(file.end(), d.begin(), d.end());
    return file;
}

std::unique_ptr<testing::OpenedFile<>> Open(
    const Bytes& file, std::vector<std::optional<std::string>> passwords = {}) {
    return testing::OpenBytes(file, std::move(passwords), "old.tse");
}

const std::vector<OldCard> kSample = {
    {"WWW Pages", "99/12/31", "Site", "http://a.example", "me", "pw", "a note", true, false},
    {"Bank Accounts", "31-12-2005", "Bank", "0815", "Holder", "4711", std::string(300, 'n'), false,
     true},
    {"Password Manager", "01-02-2003", "Retired", "", "", "old", ""},
    {"", "", "No category", "", "", "", ""},
    {"Newsgroups", "", "news", "", "", "", ""},
};

TEST(OldFormats, PlainAndEncryptedFilesOpenWithEveryCard) {
    struct Case {
        const char* version;
        std::string password;
    };
    for (const Case& c : {Case{"Version1.001", ""}, Case{"Version1.002", ""},
                          Case{"Version1.001", "oldsecret"}, Case{"Version1.002", "oldsecret"}}) {
        SCOPED_TRACE(std::string(c.version) + (c.password.empty() ? " plain" : " encrypted"));
        std::vector<std::optional<std::string>> answers;
        if (!c.password.empty())
            answers.push_back(c.password);
        auto o = Open(OldFile(c.version, kSample, c.password), answers);
        ASSERT_TRUE(o->result.ok);
        EXPECT_TRUE(o->ui.shown.empty());
        EXPECT_EQ(o->state.encryptOnSave, !c.password.empty());
        EXPECT_EQ(o->state.encryptionPassword, c.password);
        ASSERT_EQ(o->cards.List(kWwwSites).Count(), 1);
        const CCard& site = *o->cards.List(kWwwSites).CardAt(0);
        EXPECT_EQ(site.Name(), "Site");
        EXPECT_EQ(site.Address(), "http://a.example");
        EXPECT_EQ(site.UserId(), "me");
        EXPECT_EQ(site.Password(), "pw");
        EXPECT_EQ(site.Note(), "a note");
        EXPECT_TRUE(site.AutomaticAccess());
        EXPECT_FALSE(site.NewBrowserWindow());
        EXPECT_EQ(site.CategoryNameText(), "WWW Pages");
        EXPECT_EQ(site.DateText(), "99/12/31");
        EXPECT_EQ(site.Category(), kWwwSites);
        EXPECT_EQ(site.SyncByte(), 0);
        ASSERT_EQ(o->cards.List(kBankAccounts).Count(), 1);
        EXPECT_EQ(o->cards.List(kBankAccounts).CardAt(0)->Note().size(), 300u);
        EXPECT_TRUE(o->cards.List(kBankAccounts).CardAt(0)->NewBrowserWindow());
        EXPECT_EQ(o->cards.List(kNewsgroups).Count(), 1);
        // Cards of a retired or empty category name are kept in Miscellaneous.
        ASSERT_EQ(o->cards.List(kMiscellaneous).Count(), 2);
        EXPECT_EQ(o->cards.List(kMiscellaneous).CardAt(0)->Name(), "Retired");
        EXPECT_EQ(o->cards.List(kMiscellaneous).CardAt(0)->Category(), kMiscellaneous);
    }
}

TEST(OldFormats, DateTextsBecomeMidnightTimeStamps) {
    EXPECT_EQ(CardTimeOfOldDateText("99/12/31"), CardTimeOfDate(1999, 12, 31));
    EXPECT_EQ(CardTimeOfOldDateText("31-12-2005"), CardTimeOfDate(2005, 12, 31));
    EXPECT_EQ(CardTimeOfOldDateText("05.06.2001"), CardTimeOfDate(2001, 6, 5));
    EXPECT_EQ(CardTimeOfDate(1904, 1, 1), 0u);
    EXPECT_EQ(CardTimeOfDate(1904, 1, 2), 86400u);
    EXPECT_EQ(CardTimeOfDate(1970, 1, 1), 2082844800u);
    // Nonsense dates never wrap around or crash.
    EXPECT_EQ(CardTimeOfOldDateText(""), 0u);
    EXPECT_EQ(CardTimeOfOldDateText("ab/cd/ef"), 0u);
}

TEST(OldFormats, WrongPasswordsHaveTheirOwnMessages) {
    struct Case {
        const char* version;
        std::optional<std::string> entered;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"Version1.001", std::string("wrongpass"), {msg::kPasswordNotCorrectOld}},
        {"Version1.002", std::string("wrongpass"), {msg::kPasswordNotCorrect}},
        {"Version1.001", std::string(""), {msg::kMustEnterPassword, msg::kPasswordNotCorrectOld}},
        {"Version1.002", std::string(""), {msg::kMustEnterPassword, msg::kPasswordNotCorrect}},
        {"Version1.002", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        auto o = Open(OldFile(c.version, kSample, "oldsecret"), {c.entered});
        EXPECT_FALSE(o->result.ok);
        EXPECT_EQ(o->ui.Texts(), c.messages);
        EXPECT_EQ(o->ui.passwordTitles, std::vector<std::string>{"Password for old.tse"});
    }
}

TEST(OldFormats, NextSaveWritesTheCurrentFormat) {
    auto o = Open(OldFile("Version1.002", kSample, "oldsecret"), {std::string("oldsecret")});
    ASSERT_TRUE(o->result.ok);
    ScriptedAnswers ui;
    auto saved = BuildDataFileWithUser(o->cards, o->state, ui);
    ASSERT_TRUE(saved);
    const HeaderFacts facts = InspectHeader(*saved);
    EXPECT_EQ(facts.format, FileFormat::MacSyncVersion);
    EXPECT_TRUE(facts.encrypted);
    auto again = Open(*saved, {std::string("oldsecret")});
    ASSERT_TRUE(again->result.ok);
    EXPECT_EQ(testing::Describe(again->cards), testing::Describe(o->cards));
}

TEST(OldFormats, PlainMarkerWithEncryptedLookingDataOpensAsPlain) {
    // "NTENCRYPT" + "Version1.002", 20 bytes, then old records: a plain old file.
    auto o = Open(OldFile("Version1.002", kSample));
    ASSERT_TRUE(o->result.ok);
    EXPECT_TRUE(o->ui.passwordTitles.empty());
    EXPECT_EQ(o->cards.LiveCardCount(), 5);
}

TEST(OldFormats, CutRecordsEndTheReading) {
    Bytes file = OldFile("Version1.001", kSample);
    for (std::size_t cut : {std::size_t{1}, std::size_t{5}, std::size_t{20}, file.size() - 30}) {
        SCOPED_TRACE(cut);
        Bytes shorter(file.begin(), file.end() - static_cast<long>(cut));
        auto o = Open(shorter);
        EXPECT_TRUE(o->result.ok);
        EXPECT_LT(o->cards.LiveCardCount(), 5);
    }
    // A note length that claims more than the file holds.
    Bytes liar = OldFile("Version1.001", {{"Newsgroups", "", "n", "", "", "", "short"}});
    liar[21 + 3 + 17 + 1] = 0xFF;  // high byte of the note length
    auto o = Open(liar);
    EXPECT_TRUE(o->result.ok);
    EXPECT_TRUE(o->result.stoppedEarly);
    EXPECT_EQ(o->cards.LiveCardCount(), 0);
}

// "Version1.001" checks a password by three known bytes. A wrong password that happens to
// decipher them (about one in 16 million) sees noise after them: the file read under it is
// a wrong password, not an empty file that the next save would write under that password.
TEST(OldFormats, AVersion1001PasswordThatOnlyMatchesTheThreeBytesIsWrong) {
    const std::string right = "oldsecret";
    const std::string lucky = "luckyguess";
    auto decipher = [](Bytes d, const std::string& key) {
        Blowfish cipher;
        cipher.SetKey(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
        cipher.DecipherBuffer(d.data(), d.size() / 8);
        return d;
    };
    auto encipher = [](Bytes d, const std::string& key) {
        Blowfish cipher;
        cipher.SetKey(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
        cipher.EncipherBuffer(d.data(), d.size() / 8);
        return d;
    };
    // What the lucky password sees in a real file, with "XYZ" where the check is.
    auto luckyFile = [&](const std::vector<OldCard>& cards) {
        const Bytes file = OldFile("Version1.001", cards, right);
        Bytes seen = decipher(Bytes(file.begin() + 21, file.end()), lucky);
        std::memcpy(seen.data(), "XYZ", 3);
        Bytes forged(file.begin(), file.begin() + 21);
        const Bytes d = encipher(seen, lucky);
        forged.insert(forged.end(), d.begin(), d.end());
        return forged;
    };
    std::vector<OldCard> many;
    for (int i = 0; i < 40; ++i)
        many.push_back({"Bank Accounts", "31-12-2005", "Bank " + std::to_string(i), "0815",
                        "Holder", "4711", std::string(200, 'n')});
    for (const auto& cards : {kSample, many}) {
        SCOPED_TRACE(cards.size());
        const Bytes forged = luckyFile(cards);
        auto o = Open(forged, {lucky});
        EXPECT_FALSE(o->result.ok);
        EXPECT_EQ(o->ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrectOld});
        EXPECT_EQ(o->state.encryptionPassword, "");
        EXPECT_FALSE(o->state.encryptOnSave);
    }
    // The right password still opens the real file.
    auto o = Open(OldFile("Version1.001", many, right), {right});
    ASSERT_TRUE(o->result.ok);
    EXPECT_EQ(o->cards.LiveCardCount(), 40);
}

// A text ends at its first zero byte: the bytes after a zero inside an old text are dropped,
// so after the next save every field is still where it was.
TEST(OldFormats, AZeroByteEndsAnOldText) {
    const std::vector<OldCard> cards = {{"Login Accounts", "01-02-2003", std::string("ser\0ver", 7),
                                         "host", std::string("me\0\0x", 5), "pw",
                                         std::string("note\0hidden", 11)}};
    for (const std::string& password : {std::string(), std::string("oldsecret")}) {
        SCOPED_TRACE(password.empty() ? "plain" : "encrypted");
        std::vector<std::optional<std::string>> answers;
        if (!password.empty())
            answers.push_back(password);
        auto o = Open(OldFile("Version1.002", cards, password), answers);
        ASSERT_TRUE(o->result.ok);
        ASSERT_EQ(o->cards.List(kLoginAccounts).Count(), 1);
        ScriptedAnswers ui;
        auto saved = BuildDataFileWithUser(o->cards, o->state, ui);
        ASSERT_TRUE(saved);
        auto again = Open(*saved, answers);
        ASSERT_TRUE(again->result.ok);
        ASSERT_EQ(again->cards.List(kLoginAccounts).Count(), 1);
        const CCard& card = *again->cards.List(kLoginAccounts).CardAt(0);
        EXPECT_EQ(card.Name(), "ser");
        EXPECT_EQ(card.Address(), "host");
        EXPECT_EQ(card.UserId(), "me");
        EXPECT_EQ(card.Password(), "pw");
        EXPECT_EQ(card.Note(), "note");
    }
}

// An old file of zeros, or of the smallest records possible, never makes more cards than
// its size would hold in the current format.
TEST(OldFormats, CardsNeverOutnumberWhatTheFileSizeHolds) {
    Bytes zeros = OldFile("Version1.001", {});
    zeros.resize(zeros.size() + 4'000'000, 0);
    auto o = Open(zeros);
    EXPECT_TRUE(o->result.ok);
    EXPECT_TRUE(o->result.stoppedEarly);
    EXPECT_EQ(o->cards.LiveCardCount(), 0);

    // Records of one letter: 11 bytes each.
    const Bytes tiny = OldFile("Version1.002",
                               std::vector<OldCard>(100'000, OldCard{"a", "", "", "", "", "", ""}));
    o = Open(tiny);
    EXPECT_TRUE(o->result.ok);
    EXPECT_TRUE(o->result.stoppedEarly);
    EXPECT_LE(static_cast<std::size_t>(o->cards.LiveCardCount()), tiny.size() / 29 + 1);
    EXPECT_GT(o->cards.LiveCardCount(), 30'000);
}

}  // namespace
}  // namespace tessaline
