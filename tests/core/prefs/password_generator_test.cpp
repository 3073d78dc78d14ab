#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/prefs/password_generator.h"

namespace tessaline {
namespace {

TEST(PasswordAlphabet, ClassesInTheirOrder) {
    EXPECT_EQ(PasswordAlphabet({true, false, false, false}), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(PasswordAlphabet({false, false, true, false}), "0123456789");
    EXPECT_EQ(PasswordAlphabet({false, false, false, true}), "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
    const std::string all = PasswordAlphabet({true, true, true, true});
    EXPECT_EQ(all.size(), 94u);
    EXPECT_EQ(all.substr(0, 3), "ABC");
    EXPECT_EQ(all.substr(26, 3), "abc");
    EXPECT_EQ(all.substr(52, 10), "0123456789");
    EXPECT_EQ(std::set<char>(all.begin(), all.end()).size(), 94u);
    for (char c : all) {
        EXPECT_GT(c, 32);
        EXPECT_LT(c, 127);
    }
    EXPECT_EQ(PasswordAlphabet({false, false, false, false}), "");
}

TEST(GenerateRandomPassword, LengthAndCharacters) {
    struct Case {
        PasswordClasses classes;
        int length;
        std::size_t expectedLength;
    };
    const Case cases[] = {
        {{true, true, true, false}, 10, 10},    {{false, false, true, false}, 1, 1},
        {{true, true, true, true}, 63, 63},     {{true, true, true, true}, 64, 63},
        {{true, false, false, false}, 255, 63}, {{true, false, false, false}, 0, 0},
        {{true, false, false, false}, -5, 0},
    };
    for (const Case& c : cases) {
        auto pw = GenerateRandomPassword(c.classes, c.length);
        ASSERT_TRUE(pw);
        EXPECT_EQ(pw->size(), c.expectedLength) << c.length;
        const std::string alphabet = PasswordAlphabet(c.classes);
        for (char ch : *pw)
            EXPECT_NE(alphabet.find(ch), std::string::npos) << ch;
    }
    EXPECT_FALSE(GenerateRandomPassword({false, false, false, false}, 10));
}

TEST(GenerateRandomPassword, TwoAtOnceDiffer) {
    const PasswordClasses classes{true, true, true, false};
    EXPECT_NE(GenerateRandomPassword(classes, 20), GenerateRandomPassword(classes, 20));
}

TEST(GenerateRandomPassword, EveryCharacterIsEquallyLikely) {
    // 62 characters, 2,000 expected of each; a biased draw (e.g. a plain modulo of a byte,
    // which favours the first 8 characters by a third) lands far outside these bounds.
    const PasswordClasses classes{true, true, true, false};
    std::map<char, int> seen;
    for (int i = 0; i < 2000; ++i) {
        const auto pw = GenerateRandomPassword(classes, 62);
        ASSERT_TRUE(pw);
        for (char c : *pw)
            ++seen[c];
    }
    ASSERT_EQ(seen.size(), 62u);
    for (const auto& [c, n] : seen) {
        EXPECT_GT(n, 1700) << c;
        EXPECT_LT(n, 2300) << c;
    }
}

}  // namespace
}  // namespace tessaline
