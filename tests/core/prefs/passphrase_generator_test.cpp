// Passphrases: the EFF word list found and read, words drawn from it and joined, and the
// randomness the generator's settings give.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/prefs/passphrase_generator.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;

class PassphraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaline-words-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A list of count words "w0", "w1", ... in the dice-number layout of the EFF file.
    fs::path WriteList(const std::string& name, std::size_t count, const char* end = "\n",
                       bool diceNumbers = true) {
        const fs::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < count; ++i)
            out << (diceNumbers ? std::to_string(11111 + i) + "\t" : "") << "w" << i << end;
        return path;
    }

    fs::path dir_;
};

TEST_F(PassphraseTest, TheListIsFoundUnderTheDataFoldersOrWhereThePackagePutsIt) {
    const std::vector<std::string> fromDefault = EffWordListCandidates(nullptr);
    EXPECT_EQ(fromDefault, EffWordListCandidates(""));
    EXPECT_EQ(fromDefault,
              (std::vector<std::string>{
                  "/usr/local/share/diceware/wordlists/wordlist_en_eff.txt",
                  "/usr/share/diceware/wordlists/wordlist_en_eff.txt",
                  "/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt"}));
    // Relative folders do not count.
    EXPECT_EQ(EffWordListCandidates("/opt/x:relative::/srv/"),
              (std::vector<std::string>{
                  "/opt/x/diceware/wordlists/wordlist_en_eff.txt",
                  "/srv//diceware/wordlists/wordlist_en_eff.txt",
                  "/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt"}));

    const fs::path second = WriteList("second.txt", 3);
    fs::create_directories(dir_ / "folder.txt");
    EXPECT_EQ(FindEffWordList(
                  {(dir_ / "missing").string(), (dir_ / "folder.txt").string(), second.string()}),
              second.string());
    EXPECT_FALSE(FindEffWordList({(dir_ / "missing").string()}));
}

TEST_F(PassphraseTest, OnlyAListOf7776DifferentWordsIsTaken) {
    std::string error;
    for (const fs::path& good : {WriteList("eff.txt", 7776), WriteList("crlf.txt", 7776, "\r\n"),
                                 WriteList("plain.txt", 7776, "\n", false)}) {
        const auto words = LoadEffWordList(good.string(), error);
        ASSERT_TRUE(words) << error;
        ASSERT_EQ(words->size(), 7776u);
        EXPECT_EQ(words->front(), "w0");
        EXPECT_EQ(words->back(), "w7775");
    }
    struct Bad {
        fs::path path;
        std::string message;
    };
    const fs::path twice = dir_ / "twice.txt";
    {
        std::ofstream out(twice);
        for (int i = 0; i < 7776; ++i)
            out << "w" << (i == 7775 ? 0 : i) << "\n";
    }
    const fs::path spaced = dir_ / "spaced.txt";
    std::ofstream(spaced) << "11111\ttwo words\n";
    for (const Bad& b : std::vector<Bad>{
             {WriteList("short.txt", 7775), "holds 7775 different words, not 7776"},
             {WriteList("long.txt", 7777), "holds 7777 different words, not 7776"},
             {twice, "holds 7775 different words, not 7776"},
             {spaced, "a line holds no single word"},
             {dir_ / "missing.txt", "is not a word list file"},
         }) {
        error.clear();
        EXPECT_FALSE(LoadEffWordList(b.path.string(), error));
        EXPECT_NE(error.find(b.message), std::string::npos) << error;
        EXPECT_TRUE(error.starts_with(b.path.string())) << error;
    }
}

TEST_F(PassphraseTest, WordsComeFromTheListJoinedByTheSeparator) {
    std::string error;
    const auto list = LoadEffWordList(WriteList("eff.txt", 7776).string(), error);
    ASSERT_TRUE(list);
    const std::set<std::string> known(list->begin(), list->end());
    struct Case {
        int words;
        std::string separator;
    };
    for (const Case& c : std::vector<Case>{{6, "-"}, {1, "-"}, {20, " "}, {4, ".."}, {3, ""}}) {
        const std::optional<std::string> phrase = GeneratePassphrase(*list, c.words, c.separator);
        ASSERT_TRUE(phrase);
        if (c.separator.empty()) {
            EXPECT_EQ(std::count(phrase->begin(), phrase->end(), 'w'), 3);
            continue;
        }
        std::vector<std::string> parts;
        for (std::size_t at = 0;;) {
            const std::size_t next = phrase->find(c.separator, at);
            parts.push_back(phrase->substr(at, next - at));
            if (next == std::string::npos)
                break;
            at = next + c.separator.size();
        }
        EXPECT_EQ(parts.size(), static_cast<std::size_t>(c.words)) << *phrase;
        for (const std::string& word : parts)
            EXPECT_TRUE(known.count(word)) << word;
    }
    for (int words : {0, 21, -1})
        EXPECT_FALSE(GeneratePassphrase(*list, words, "-")) << words;
    EXPECT_FALSE(GeneratePassphrase({}, 6, "-"));
    // Draws reach the whole list: 2,000 words from a list of 7,776 give far more than a
    // few hundred different ones, and two phrases of six words differ.
    std::set<std::string> drawn;
    for (int i = 0; i < 100; ++i) {
        std::istringstream in(*GeneratePassphrase(*list, 20, " "));
        for (std::string w; in >> w;)
            drawn.insert(w);
    }
    EXPECT_GT(drawn.size(), 1500u);
    EXPECT_NE(GeneratePassphrase(*list, 6, "-"), GeneratePassphrase(*list, 6, "-"));
}

TEST(GeneratorBitsTest, RandomnessOfTheSettings) {
    EXPECT_NEAR(PassphraseBits(6), 77.55, 0.01);
    EXPECT_NEAR(PassphraseBits(1), 12.92, 0.01);
    EXPECT_NEAR(CharacterPasswordBits(PasswordClasses{true, true, true, true}, 20), 131.09, 0.01);
    EXPECT_NEAR(CharacterPasswordBits(PasswordClasses{false, false, true, false}, 10), 33.22, 0.01);
    EXPECT_EQ(CharacterPasswordBits(PasswordClasses{false, false, false, false}, 10), 0);
    EXPECT_EQ(CharacterPasswordBits(PasswordClasses{}, 0), 0);
}

}  // namespace
}  // namespace tessaline
