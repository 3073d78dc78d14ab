// Locking documents: which ones lock and when, the lock/unlock round trip with the cards
// read again, the documents with unsaved changes, and the clock of minutes without use.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/base/message_texts.h"
#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "core/document/document_lock.h"
#include "core/document/document_model.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/file/safe_file.h"
#include "core/platform/profile.h"
#include "support/card_fixtures.h"
#include "support/data_files.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::CardFields;
using testing::Describe;
using testing::ScriptedAnswers;
using Clock = IdleLockClock::Clock;

const std::vector<CardFields> kCards = {
    {.code = kWwwSites, .name = "mail", .user = "alice", .password = "S3cret!pw", .note = "n1"},
    {.code = kBankAccounts, .name = "bank", .password = "hunter22"},
    {.code = kMiscellaneous, .name = "gone", .password = "old", .sync = CCard::kDeletedBit},
};

// Every text of every card, joined: what must not survive a lock.
std::string AllTexts(const CCardCollection& cards) {
    std::string out;
    for (const std::string& line : Describe(cards))
        out += line;
    return out;
}

class DocumentLockTest : public ::testing::Test {
protected:
    // Writes a data file holding kCards, encrypted under password unless it is empty.
    std::string WriteFile(const std::string& name, const std::string& password) {
        CCardCollection cards;
        for (const CardFields& c : kCards)
            testing::AddCard(cards, c);
        FileCipherState state;
        state.encryptOnSave = !password.empty();
        state.encryptionPassword = password;
        const auto bytes = BuildDataFileWithUser(cards, state, ui);
        EXPECT_TRUE(bytes.has_value());
        const std::string path = (dir / name).string();
        EXPECT_FALSE(WriteFileSafely(path, *bytes).has_value());
        return path;
    }

    void Open(const std::string& path, std::optional<std::string> password) {
        if (password)
            ui.passwords.push_back(password);
        ASSERT_TRUE(doc.Open(path, ""));
        ui.shown.clear();
        ui.passwordTitles.clear();
    }

    void AddCard(const std::string& name) {
        CCard* c = doc.Cards().Adopt(testing::MakeCard({.code = kWwwSites, .name = name}));
        doc.Cards().AddCardToCategory(kWwwSites, c);
        doc.SetModified(true);
    }

    testing::TempFolder folder{"doc_lock"};
    fs::path dir = folder.Path();
    ScriptedAnswers ui;
    MemoryProfile profile;
    DocumentModel doc{ui, profile, nullptr};
};

TEST(DocumentLockRules, WhichDocumentsLock) {
    struct Case {
        LockFacts facts;
        LockStep expected;
    } cases[] = {
        {{.encrypted = true, .hasFile = true}, LockStep::Lock},
        {{.encrypted = false, .hasFile = true}, LockStep::Skip},
        {{.encrypted = true, .locked = true, .hasFile = true}, LockStep::Skip},
        {{.encrypted = true, .modified = true, .hasFile = true}, LockStep::KeepOpen},
        {{.encrypted = true, .modified = true, .hasFile = true, .autoSaveOn = true},
         LockStep::SaveThenLock},
        // Untitled: never locked, and never put through a Save As chooser.
        {{.encrypted = true, .modified = true, .autoSaveOn = true}, LockStep::KeepOpen},
        {{.encrypted = true}, LockStep::Skip},
        {{.encrypted = false, .modified = true, .hasFile = true, .autoSaveOn = true},
         LockStep::Skip},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideLockStep(c.facts), c.expected)
            << "encrypted " << c.facts.encrypted << " locked " << c.facts.locked << " modified "
            << c.facts.modified << " file " << c.facts.hasFile << " autosave "
            << c.facts.autoSaveOn;
    }
}

TEST_F(DocumentLockTest, LockDropsEveryCardAndThePasswordAndUnlockReadsThemBack) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    const std::vector<std::string> before = Describe(doc.Cards());
    ASSERT_EQ(before.size(), 3u);
    const std::uint64_t sizeBefore = doc.Cards().TotalStoredSize();

    bool dropped = false;
    EXPECT_EQ(LockDocument(doc, false, [&] { dropped = true; }), LockOutcome::Locked);
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(doc.IsLocked());
    EXPECT_TRUE(Describe(doc.Cards()).empty());
    EXPECT_EQ(doc.Cards().TotalStoredSize(), 0u);
    EXPECT_EQ(AllTexts(doc.Cards()).find("S3cret"), std::string::npos);
    EXPECT_TRUE(doc.CipherState().encryptionPassword.empty());
    EXPECT_EQ(doc.CipherState().checkValue, Sha1Digest{});
    // What it takes to read the file again stays.
    EXPECT_EQ(doc.PathName(), path);
    EXPECT_EQ(doc.EncryptionState(), 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(LockDocument(doc, false), LockOutcome::AlreadyLocked);

    // A wrong password says so and keeps it locked.
    EXPECT_FALSE(doc.Unlock("open sesame?"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
    EXPECT_TRUE(doc.IsLocked());
    EXPECT_TRUE(Describe(doc.Cards()).empty());
    EXPECT_TRUE(ui.passwordTitles.empty());  // the panel's password, no dialog

    ui.shown.clear();
    EXPECT_TRUE(doc.Unlock("open sesame"));
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_EQ(Describe(doc.Cards()), before);
    EXPECT_EQ(doc.Cards().TotalStoredSize(), sizeBefore);
    EXPECT_EQ(doc.CipherState().encryptionPassword, "open sesame");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(ui.shown.empty());

    // Saving after the round trip writes what was there, under the same password.
    ASSERT_TRUE(doc.Save());
    DocumentModel again(ui, profile, nullptr);
    ui.passwords.push_back("open sesame");
    ASSERT_TRUE(again.Open(path, ""));
    EXPECT_EQ(Describe(again.Cards()), before);
}

TEST_F(DocumentLockTest, WipeClearsTheTextsWhereTheyLie) {
    CCardCollection cards;
    std::vector<CCard*> kept;
    for (const CardFields& c : kCards)
        kept.push_back(testing::AddCard(cards, c));
    // A card adopted but in no list is wiped too.
    kept.push_back(cards.Adopt(testing::MakeCard({.name = "loose", .password = "pw"})));
    WipeCardTexts(cards);
    for (const CCard* c : kept) {
        EXPECT_TRUE(c->Name().empty());
        EXPECT_TRUE(c->Address().empty());
        EXPECT_TRUE(c->UserId().empty());
        EXPECT_TRUE(c->Password().empty());
        EXPECT_TRUE(c->Note().empty());
        EXPECT_TRUE(c->DateText().empty());
    }
}

TEST_F(DocumentLockTest, PlainAndUntitledDocumentsStayOpen) {
    Open(WriteFile("plain.tsf", ""), std::nullopt);
    EXPECT_EQ(LockDocument(doc, true), LockOutcome::NotEncrypted);
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_EQ(Describe(doc.Cards()).size(), 3u);

    // An untitled encrypted document with changes: no chooser is put up, nothing is lost.
    DocumentModel fresh(ui, profile, nullptr);
    fresh.NewDocument();
    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "abcdefgh", "abcdefgh"});
    fresh.EncryptOnSave();
    ASSERT_TRUE(fresh.IsModified());
    EXPECT_EQ(LockDocument(fresh, true), LockOutcome::UnsavedChanges);
    EXPECT_FALSE(fresh.IsLocked());
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_EQ(NotLockedMessage("cards.tse"), "cards.tse has unsaved changes and was not locked");
}

TEST_F(DocumentLockTest, ChangesAreSavedFirstOnlyWithAutomaticSaving) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    AddCard("new one");
    const std::string onDisk = testing::ReadFileText(path);

    // Without automatic saving the document stays open with its change.
    EXPECT_EQ(LockDocument(doc, false), LockOutcome::UnsavedChanges);
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Describe(doc.Cards()).size(), 4u);
    EXPECT_EQ(testing::ReadFileText(path), onDisk);

    // With it the change is saved, then the document locks; unlocking shows the change.
    EXPECT_EQ(LockDocument(doc, true), LockOutcome::Locked);
    EXPECT_TRUE(doc.IsLocked());
    ASSERT_TRUE(doc.Unlock("open sesame"));
    EXPECT_EQ(Describe(doc.Cards()).size(), 4u);
    EXPECT_EQ(doc.Cards().List(kWwwSites).Count(), 2);
}

TEST_F(DocumentLockTest, AFailedSaveLeavesTheDocumentOpenWithItsChanges) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    AddCard("new one");
    // A folder now stands where the file was: the save cannot replace it.
    fs::remove(path);
    fs::create_directory(path);
    // Asked whether to replace what is there now, the user says Yes; the save still fails.
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    EXPECT_EQ(LockDocument(doc, true), LockOutcome::UnsavedChanges);
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Describe(doc.Cards()).size(), 4u);
    EXPECT_FALSE(ui.shown.empty());  // the save said why
}

TEST_F(DocumentLockTest, UnlockingAFileThatIsGoneSaysSoAndStaysLocked) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    ASSERT_TRUE(doc.Lock());
    fs::remove(path);
    EXPECT_FALSE(doc.Unlock("open sesame"));
    EXPECT_TRUE(doc.IsLocked());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Failed to open document.\n", 0), 0u);
}

TEST(IdleLockClockTest, ExpiresOncePerQuietSpell) {
    const Clock::time_point t0{};
    IdleLockClock idle(t0);
    idle.SetMinutes(10);
    using std::chrono::minutes;
    using std::chrono::seconds;
    EXPECT_FALSE(idle.Expired(t0 + minutes(9) + seconds(59)));
    EXPECT_TRUE(idle.Expired(t0 + minutes(10)));
    EXPECT_FALSE(idle.Expired(t0 + minutes(11)));  // once, not at every look
    idle.Touch(t0 + minutes(12));
    EXPECT_FALSE(idle.Expired(t0 + minutes(21)));
    EXPECT_TRUE(idle.Expired(t0 + minutes(22)));

    // Use keeps it from expiring; 0 minutes never expires.
    idle.Touch(t0 + minutes(30));
    idle.Touch(t0 + minutes(39));
    EXPECT_FALSE(idle.Expired(t0 + minutes(45)));
    idle.SetMinutes(0);
    EXPECT_FALSE(idle.Expired(t0 + std::chrono::hours(100)));
}

TEST(IdleLockClockTest, MinutesSettingDefaultsAndLimits) {
    MemoryProfile profile;
    EXPECT_EQ(LockAfterMinutes(profile), 10);
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {-5, 0}, {1440, 1440}, {99999, 1440}};
    for (const auto& [stored, read] : cases) {
        profile.WriteInt(prefs::kGeneralSection, prefs::kLockAfterMinutes, stored);
        EXPECT_EQ(LockAfterMinutes(profile), read) << stored;
    }
}

TEST(LockedCommandsTest, OnlyCommandsThatNeedNoCardsStayAvailable) {
    for (CommandId command :
         {CommandId::FileNew, CommandId::FileOpen, CommandId::FileClose, CommandId::FileLock,
          CommandId::AppExit, CommandId::Preferences, CommandId::GeneratePassword,
          CommandId::EditPaste, CommandId::AppAbout})
        EXPECT_TRUE(IsCommandAllowedWhileLocked(command)) << command;
    for (CommandId command :
         {CommandId::FileSave, CommandId::FileSaveAs, CommandId::EncryptOnSave,
          CommandId::ExportToText, CommandId::FilePrint, CommandId::NewCard, CommandId::EditCard,
          CommandId::DeleteCard, CommandId::CopyPassword, CommandId::LoadWebPage,
          CommandId::GetWebPage, CommandId::EditFind, CommandId::FileImportCsv})
        EXPECT_FALSE(IsCommandAllowedWhileLocked(command)) << command;
    bool ctrlL = false;
    for (const Accelerator& a : AcceleratorTable())
        ctrlL = ctrlL || (a.keys == "Ctrl+L" && a.command == CommandId::FileLock);
    EXPECT_TRUE(ctrlL);
}

}  // namespace
}  // namespace tessaline
