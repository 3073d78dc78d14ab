// The password health rules: strength words, reuse, age, expiry, a password that is the
// name or user ID, and the lookup in an offline list of breached passwords.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/cards/card_date.h"
#include "core/health/password_health.h"
#include "core/health/password_strength.h"
#include "core/health/pwned_list.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::AddCard;
using testing::CardFields;

TEST(PasswordStrengthTest, BitsAndWords) {
    struct Case {
        std::string password;
        StrengthWord word;
        double atLeast, below;  // the estimate's bits
    };
    for (const Case& c : std::vector<Case>{
             {"", StrengthWord::Poor, 0, 0.01},
             {"password", StrengthWord::Poor, 0, 5},
             {"hunter22", StrengthWord::Poor, 0, 40},
             {"Tr0ub4dor&3", StrengthWord::Weak, 40, 65},
             {"correct horse battery staple", StrengthWord::Good, 65, 100},
             {"LyaKtXS\"gOWa\"EAz5zeI", StrengthWord::Excellent, 100, 1000},
         }) {
        const PasswordStrength s = EstimateStrength(c.password);
        EXPECT_EQ(s.word, c.word) << c.password << " " << s.bits;
        EXPECT_GE(s.bits, c.atLeast) << c.password;
        EXPECT_LT(s.bits, c.below) << c.password;
    }
    // The bounds of the words.
    for (const auto& [bits, word] :
         std::vector<std::pair<double, StrengthWord>>{{39.99, StrengthWord::Poor},
                                                      {40, StrengthWord::Weak},
                                                      {64.99, StrengthWord::Weak},
                                                      {65, StrengthWord::Good},
                                                      {99.99, StrengthWord::Good},
                                                      {100, StrengthWord::Excellent}}) {
        EXPECT_EQ(StrengthWordOfBits(bits), word) << bits;
    }
    EXPECT_EQ(StrengthText(EstimateStrength("Tr0ub4dor&3")), "46 bits, weak");
    // A stored Windows-1252 password is judged by the characters it shows: the same as its
    // UTF-8 form.
    EXPECT_DOUBLE_EQ(EstimateStoredStrength("Caf\xE9-Tr0ub4dor&3").bits,
                     EstimateStrength("Caf\xC3\xA9-Tr0ub4dor&3").bits);
}

constexpr std::int64_t kDay = kMsPerDay;
constexpr std::int64_t kNow = 1'800'000'000'000;  // January 2027
constexpr const char* kStrong = "LyaKtXS\"gOWa\"EAz5zeI";
constexpr const char* kStrong2 = "9q!Vb#2mWz&Lr7^Kd4$x";

struct Row {
    std::string name;
    std::string problem;
    friend bool operator==(const Row&, const Row&) = default;
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.name << " | " << r.problem;
}

std::vector<Row> Rows(const std::vector<HealthFinding>& findings) {
    std::vector<Row> rows;
    for (const HealthFinding& f : findings)
        rows.push_back({f.card->Name(), DescribeFinding(f)});
    return rows;
}

// One card, changed recently unless set otherwise.
struct CardCase {
    std::string name;
    std::string user;
    std::string password;
    std::int64_t modifiedMs = kNow - kDay;
    std::uint32_t legacyTime = 0;
    std::optional<std::int64_t> expiresMs{};
};

TEST(PasswordHealthTest, EachRuleFindsItsCardsAndNoOthers) {
    const std::uint32_t stampNow = static_cast<std::uint32_t>(kNow / 1000 + kSeconds1904To1970);
    const std::vector<CardCase> cases = {
        {"fine", "me", kStrong},
        {"weak one", "me", "Tr0ub4dor&3"},
        {"poor one", "me", "password"},
        {"shared A", "a", kStrong2},
        {"shared B", "b", kStrong2},
        {"shared C", "c", kStrong2},
        // Two cards with passwords differing only in letter case are not one password.
        {"case 1", "x", "Zq8#Lm2!Vr9$Kp4&Wt6^"},
        {"case 2", "x", "zq8#Lm2!Vr9$Kp4&Wt6^"},
        {"old by ms", "me", "Ab3$Cd5%Ef7^Gh9&Jk2*", kNow - 366 * kDay},
        {"just under a year", "me", "Qw1!Er3@Ty5#Ui7$Op9%", kNow - 364 * kDay},
        // No time in milliseconds: the 32-bit stamp counts.
        {"old by stamp", "me", "Zx2@Cv4#Bn6$Mm8%Ll0^", 0, stampNow - 400u * 86400u},
        {"new by stamp", "me", "Pp0)Oo9(Ii8*Uu7&Yy6^", 0, stampNow - 10u * 86400u},
        // No time at all: nobody knows its age, so it is not called old.
        {"no time", "me", "Aa1!Ss2@Dd3#Ff4$Gg5%", 0, 0},
        {"expired", "me", "Hh6^Jj7&Kk8*Ll9(Mm0)", kNow - kDay, 0, kNow - 3 * kDay},
        {"expires later", "me", "Nn1!Bb2@Vv3#Cc4$Xx5%", kNow - kDay, 0, kNow + kDay},
        {"expired, no password", "me", "", kNow - 900 * kDay, 0, kNow},
        {"Fn7#Kq2!Zr8$Lw3^Pm5&", "me", "fN7#kQ2!zR8$lW3^pM5&"},
        {"user is password", "Vb6$Nm1!Qa9@Ws3#Ed5%", "vb6$nm1!qa9@ws3#ed5%"},
        {"no password at all", "", "", kNow - 900 * kDay},
    };
    CCardCollection cards;
    for (const CardCase& c : cases) {
        CCard* card = AddCard(cards, CardFields{.code = 0,
                                                .name = c.name,
                                                .user = c.user,
                                                .password = c.password,
                                                .time = c.legacyTime});
        card->SetModifiedMs(c.modifiedMs);
        card->SetExpiresMs(c.expiresMs);
    }
    const std::vector<const CCard*> list = CardsToCheck(cards);
    const std::vector<Row> expected = {
        {"weak one", "Weak password (46 bits, weak)"},
        {"poor one", "Weak password (0 bits, poor)"},
        {"shared A", "Reused password (group 1: 3 cards)"},
        {"shared B", "Reused password (group 1: 3 cards)"},
        {"shared C", "Reused password (group 1: 3 cards)"},
        {"old by ms", "Password not changed for 366 days"},
        {"old by stamp", "Password not changed for 400 days"},
        {"expired", "Expired 3 days ago"},
        {"expired, no password", "Expired today"},
        {"Fn7#Kq2!Zr8$Lw3^Pm5&", "Password is the card's name"},
        {"user is password", "Password is the user ID"},
    };
    EXPECT_EQ(Rows(CheckPasswordHealth(list, kNow)), expected);
}

TEST(PasswordHealthTest, GroupsAreNumberedInCardOrderAndDeletedCardsAreLeftOut) {
    CCardCollection cards;
    for (const auto& [code, name, password] :
         std::vector<std::tuple<int, std::string, std::string>>{{14, "z misc", kStrong},
                                                                {0, "a site", kStrong2},
                                                                {8, "a card", kStrong},
                                                                {0, "b site", kStrong2}}) {
        AddCard(cards, CardFields{.code = code, .name = name, .password = password})
            ->SetModifiedMs(kNow);
    }
    AddCard(
        cards,
        CardFields{.code = 0, .name = "deleted", .password = kStrong, .sync = CCard::kDeletedBit})
        ->SetModifiedMs(kNow);
    const std::vector<Row> expected = {
        {"a site", "Reused password (group 1: 2 cards)"},
        {"b site", "Reused password (group 1: 2 cards)"},
        {"a card", "Reused password (group 2: 2 cards)"},
        {"z misc", "Reused password (group 2: 2 cards)"},
    };
    const std::vector<const CCard*> list = CardsToCheck(cards);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(Rows(CheckPasswordHealth(list, kNow)), expected);
}

class PwnedListTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaline-pwned-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    fs::path dir_;
};

std::string HexOf(const std::string& password) {
    return Sha1Hex(Sha1(password));
}

TEST_F(PwnedListTest, FindsEveryListedPasswordWithItsCountInSmallListsOfEitherLineEnd) {
    // The well-known digest of "password".
    ASSERT_EQ(HexOf("password"), "5BAA61E4C9B93F3F0682250B6CF8331B7EE68FD8");
    std::vector<std::string> listed = {"password", "123456", "hunter2", "letmein", "Caf\xC3\xA9"};
    std::vector<std::pair<std::string, std::string>> lines;
    for (std::size_t i = 0; i < listed.size(); ++i)
        lines.emplace_back(HexOf(listed[i]), std::to_string(1000 * (i + 1)));
    std::sort(lines.begin(), lines.end());
    for (const char* end : {"\n", "\r\n"}) {
        std::string text;
        for (const auto& [hash, count] : lines)
            text += hash + ":" + count + end;
        std::string error;
        std::optional<PwnedList> list = PwnedList::Open(Write("list.txt", text).string(), error);
        ASSERT_TRUE(list) << error;
        for (std::size_t i = 0; i < listed.size(); ++i) {
            EXPECT_EQ(list->Count(Sha1(listed[i]), error), 1000 * (i + 1)) << listed[i] << error;
        }
        // A Windows-1252 card password is looked up by its UTF-8 form.
        EXPECT_EQ(list->CountOfStoredPassword("Caf\xE9", error), 5000u);
        for (const char* absent : {"", "Password", "hunter3", "zzzz"})
            EXPECT_EQ(list->Count(Sha1(absent), error), 0u) << absent;
    }
}

TEST_F(PwnedListTest, ALargeListIsSearchedWithAFewReadsAndMalformedOnesAreRefused) {
    // 200,000 made-up digests, sorted; every 1000th is looked up, and some between them.
    constexpr int kLines = 200'000;
    std::vector<std::string> hashes;
    hashes.reserve(kLines);
    for (int i = 0; i < kLines; ++i)
        hashes.push_back(Sha1Hex(Sha1("entry " + std::to_string(i))));
    std::sort(hashes.begin(), hashes.end());
    std::string text;
    text.reserve(kLines * 50);
    for (int i = 0; i < kLines; ++i)
        text += hashes[static_cast<std::size_t>(i)] + ":" + std::to_string(i + 1) + "\r\n";
    std::string error;
    std::optional<PwnedList> list = PwnedList::Open(Write("big.txt", text).string(), error);
    ASSERT_TRUE(list) << error;
    const auto digestOf = [](const std::string& hex) {
        Sha1Digest d{};
        for (std::size_t i = 0; i < d.size(); ++i)
            d[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        return d;
    };
    int lookups = 0;
    for (int i = 0; i < kLines; i += 1000) {
        EXPECT_EQ(list->Count(digestOf(hashes[static_cast<std::size_t>(i)]), error),
                  static_cast<std::uint64_t>(i + 1));
        ++lookups;
    }
    for (int i : {0, kLines - 1}) {
        EXPECT_EQ(list->Count(digestOf(hashes[static_cast<std::size_t>(i)]), error),
                  static_cast<std::uint64_t>(i + 1));
        ++lookups;
    }
    for (const char* absent : {"not listed", "nor this"}) {
        EXPECT_EQ(list->Count(Sha1(absent), error), 0u);
        ++lookups;
    }
    // A binary search over the file's 9.8 MB needs about 12 reads a lookup; a reading of
    // the whole file, even in large blocks, would need hundreds.
    EXPECT_LE(list->Reads(), static_cast<std::uint64_t>(lookups) * 24);

    for (const std::string& bad : {std::string(9000, 'x'), text.substr(0, 200) + "not a line\n" +
                                                               std::string(5000, 'y') + "\n"}) {
        std::optional<PwnedList> broken = PwnedList::Open(Write("bad.txt", bad).string(), error);
        ASSERT_TRUE(broken);
        error.clear();
        EXPECT_FALSE(broken->Count(Sha1("password"), error));
        EXPECT_NE(error.find("not a sorted list of HASH:COUNT lines"), std::string::npos) << error;
    }
    EXPECT_FALSE(PwnedList::Open((dir_ / "missing.txt").string(), error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(PwnedList::Open(dir_.string(), error));
    EXPECT_EQ(error, "not a regular file");
}

TEST_F(PwnedListTest, TheCardsWhosePasswordIsListedAreFoundWithTheirCount) {
    std::vector<std::string> lines = {HexOf("123456") + ":37359195",
                                      HexOf("password") + ":9545824"};
    std::sort(lines.begin(), lines.end());
    std::string error;
    std::optional<PwnedList> list =
        PwnedList::Open(Write("l.txt", lines[0] + "\n" + lines[1] + "\n").string(), error);
    ASSERT_TRUE(list);
    CCardCollection cards;
    AddCard(cards, CardFields{.code = 0, .name = "web", .password = "password"});
    AddCard(cards, CardFields{.code = 0, .name = "empty", .password = ""});
    AddCard(cards, CardFields{.code = 0, .name = "good", .password = kStrong});
    AddCard(cards, CardFields{.code = 10, .name = "pin", .password = "123456"});
    const std::optional<std::vector<HealthFinding>> found =
        FindBreachedPasswords(CardsToCheck(cards), *list, error);
    ASSERT_TRUE(found) << error;
    EXPECT_EQ(Rows(*found),
              (std::vector<Row>{{"web", "Password found in the breach list (9545824 times)"},
                                {"pin", "Password found in the breach list (37359195 times)"}}));
}

}  // namespace
}  // namespace tessaline
