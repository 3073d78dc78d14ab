// A typed password becomes the same key bytes in every front end, and a file keyed by a
// program that used the raw UTF-8 still opens.

#include <gtest/gtest.h>

#include "core/base/message_texts.h"
#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/file/password_check.h"
#include "core/file/password_text.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::ScriptedAnswers;

TEST(PasswordText, TypedTextBecomesWindows1252WhenEveryCharacterFits) {
    struct Case {
        std::string typed;  // UTF-8, as a terminal or a Qt string gives it
        std::string bytes;
    };
    for (const Case& c : std::vector<Case>{
             {"correct horse", "correct horse"},
             {"p\xC3\xA4sswort1", "p\xE4sswort1"},  // ä
             {"\xE2\x82\xAC"
              "uro-2024",
              "\x80uro-2024"},  // € is 0x80 in Windows-1252
             {"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"
              "12",  // Cyrillic stays UTF-8
              "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"
              "12"},
             {"p\xE4sswort1", "p\xE4sswort1"},  // not UTF-8 (a Latin-1 terminal): as it is
         }) {
        EXPECT_EQ(PasswordBytesFromTyped(c.typed), c.bytes) << c.typed;
    }
}

TEST(PasswordText, TheUtf8FormIsTriedOnlyWhenItDiffers) {
    EXPECT_EQ(PasswordFormsToTry("correct horse"), std::vector<std::string>{"correct horse"});
    EXPECT_EQ(PasswordFormsToTry("p\xE4sswort1"),
              (std::vector<std::string>{"p\xE4sswort1", "p\xC3\xA4sswort1"}));
    EXPECT_EQ(PasswordFormsToTry("\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"
                                 "12"),
              std::vector<std::string>{"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"
                                       "12"});
}

std::vector<std::uint8_t> EncryptedFile(const std::string& keyBytes) {
    CCardCollection cards;
    testing::AddCard(cards, {.code = kWwwSites, .name = "bank", .password = "pin"});
    FileCipherState state;
    state.encryptOnSave = true;
    state.encryptionPassword = keyBytes;
    ScriptedAnswers quiet;
    return *BuildDataFileWithUser(cards, state, quiet);
}

ReadResult Open(const std::vector<std::uint8_t>& file, const std::string& entered,
                FileCipherState& state, ScriptedAnswers& ui) {
    ui.Password(entered);
    MemoryProfile profile;
    ReadResult read =
        ReadDataFileWithUser(file, UserReadRequest{ui, DateFormatIndex(profile), "t.tse", ""});
    state = read.state;
    return read;
}

TEST(PasswordText, AFileKeyedWithRawUtf8OpensAndKeepsThatKeyForTheNextSave) {
    // Keyed with the UTF-8 bytes of "pässwort1", as tessaline-cli once did.
    const std::vector<std::uint8_t> file = EncryptedFile("p\xC3\xA4sswort1");
    FileCipherState state;
    ScriptedAnswers ui;
    ASSERT_TRUE(Open(file, PasswordBytesFromTyped("p\xC3\xA4sswort1"), state, ui).ok);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(state.encryptionPassword, "p\xC3\xA4sswort1");

    // The next save keys the file as before: the raw UTF-8 alone opens it.
    ScriptedAnswers quiet;
    CCardCollection none;
    const std::vector<std::uint8_t> saved = *BuildDataFileWithUser(none, state, quiet);
    FileCipherState again;
    EXPECT_TRUE(Open(saved, "p\xC3\xA4sswort1", again, quiet).ok);

    // Another password is still wrong, in either form.
    FileCipherState wrong;
    ScriptedAnswers told;
    EXPECT_FALSE(Open(file, PasswordBytesFromTyped("p\xC3\xB6sswort1"), wrong, told).ok);
    EXPECT_EQ(told.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
}

TEST(PasswordText, APasswordWithAZeroByteIsRefusedEverywhere) {
    const std::string zero("long enough\0x", 13);
    EXPECT_EQ(AcceptNewPassword(zero, zero), NewPasswordVerdict::HasZeroByte);
    EXPECT_STREQ(NewPasswordMessage(NewPasswordVerdict::HasZeroByte), msg::kPasswordHasZeroByte);

    // The writer refuses it too, whoever set it.
    CCardCollection cards;
    FileCipherState state;
    state.encryptOnSave = true;
    state.encryptionPassword = zero;
    ScriptedAnswers ui;
    EXPECT_FALSE(BuildDataFileWithUser(cards, state, ui).has_value());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{msg::kPasswordHasZeroByte});

    // Entered to open a file, it is named for what it is and opens nothing.
    FileCipherState opened;
    ScriptedAnswers told;
    EXPECT_FALSE(Open(EncryptedFile("long enough"), zero, opened, told).ok);
    EXPECT_EQ(told.Texts(),
              (std::vector<std::string>{msg::kPasswordHasZeroByte, msg::kPasswordNotCorrect}));
}

}  // namespace
}  // namespace tessaline
