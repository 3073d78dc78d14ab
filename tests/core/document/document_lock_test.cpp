// Locking documents: which ones lock and how, the lock/unlock round trip with the cards
// read again, unsaved changes and open editors sealed in memory, and the clock of minutes
// without use.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/base/message_texts.h"
#include "core/cards/card_identity.h"
#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "core/document/document_lock.h"
#include "core/document/document_model.h"
#include "core/document/file_with_user.h"
#include "core/document/sealed_changes.h"
#include "core/file/data_file.h"
#include "core/file/safe_file.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
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

    // Saves the document, then reads the file again with password: it holds described.
    void ExpectSavedAs(const std::string& path, const std::string& password,
                       const std::vector<std::string>& described) {
        ASSERT_TRUE(doc.Save());
        DocumentModel again(ui, profile, nullptr);
        ui.passwords.push_back(password);
        ASSERT_TRUE(again.Open(path, ""));
        EXPECT_EQ(Describe(again.Cards()), described);
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

    void SetUp() override {
        // Seals that take milliseconds.
        profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
        profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
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
        {{.encrypted = false, .modified = true, .hasFile = true, .hasDrafts = true},
         LockStep::Skip},
        {{.encrypted = true, .locked = true, .modified = true, .hasFile = true}, LockStep::Skip},
        // Whatever the file does not hold is sealed in memory: changes, open editors, and
        // everything of a document that has no file.
        {{.encrypted = true, .modified = true, .hasFile = true}, LockStep::Seal},
        {{.encrypted = true, .hasFile = true, .hasDrafts = true}, LockStep::Seal},
        {{.encrypted = true, .modified = true}, LockStep::Seal},
        {{.encrypted = true}, LockStep::Seal},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideLockStep(c.facts), c.expected)
            << "encrypted " << c.facts.encrypted << " locked " << c.facts.locked << " modified "
            << c.facts.modified << " file " << c.facts.hasFile << " drafts " << c.facts.hasDrafts;
    }
}

TEST_F(DocumentLockTest, LockDropsEveryCardAndThePasswordAndUnlockReadsThemBack) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    const std::vector<std::string> before = Describe(doc.Cards());
    ASSERT_EQ(before.size(), 3u);
    const std::uint64_t sizeBefore = doc.Cards().TotalStoredSize();

    bool dropped = false;
    EXPECT_EQ(LockDocument(doc, {}, [&] { dropped = true; }), LockOutcome::Locked);
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
    EXPECT_FALSE(doc.HoldsSealedChanges());  // the file is read again
    EXPECT_EQ(LockDocument(doc), LockOutcome::AlreadyLocked);

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
    ExpectSavedAs(path, "open sesame", before);
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

TEST_F(DocumentLockTest, PlainDocumentsStayOpen) {
    Open(WriteFile("plain.tsf", ""), std::nullopt);
    AddCard("new one");
    EXPECT_EQ(LockDocument(doc), LockOutcome::NotEncrypted);
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_EQ(Describe(doc.Cards()).size(), 4u);
}

// Locked with an unsaved change: nothing is saved, nothing asked, nothing lost; the
// cards come back from memory, still unsaved, under the document's password only.
TEST_F(DocumentLockTest, UnsavedChangesAreSealedAndComeBackUnsaved) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    AddCard("new one");
    const std::vector<std::string> before = Describe(doc.Cards());
    const std::string onDisk = testing::ReadFileText(path);

    EXPECT_EQ(LockDocument(doc), LockOutcome::Locked);
    EXPECT_TRUE(doc.IsLocked());
    EXPECT_TRUE(doc.HoldsSealedChanges());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(Describe(doc.Cards()).empty());
    EXPECT_TRUE(doc.CipherState().encryptionPassword.empty());
    EXPECT_EQ(testing::ReadFileText(path), onDisk);
    EXPECT_TRUE(ui.shown.empty());

    // While locked nothing is written, whatever asks for it.
    EXPECT_FALSE(doc.Save());
    EXPECT_FALSE(doc.SaveAs());
    EXPECT_TRUE(doc.AutoSave());
    doc.EncryptOnSave();
    EXPECT_TRUE(ui.encryptionStarts.empty());
    EXPECT_EQ(testing::ReadFileText(path), onDisk);

    // A wrong password says so and keeps it locked; the file on disk does not open it.
    EXPECT_FALSE(doc.Unlock("open sesame?"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
    EXPECT_TRUE(doc.IsLocked());
    EXPECT_TRUE(Describe(doc.Cards()).empty());

    ui.ClearShown();
    ASSERT_TRUE(doc.Unlock("open sesame"));
    EXPECT_FALSE(doc.IsLocked());
    EXPECT_FALSE(doc.HoldsSealedChanges());
    EXPECT_EQ(Describe(doc.Cards()), before);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.CipherState().encryptionPassword, "open sesame");
    EXPECT_EQ(testing::ReadFileText(path), onDisk);
    EXPECT_TRUE(ui.shown.empty());

    // Saved now, the change reaches the file.
    ExpectSavedAs(path, "open sesame", before);
}

// An untitled encrypted document has no file to read back: it is sealed whole.
TEST_F(DocumentLockTest, AnUntitledEncryptedDocumentLocksSealed) {
    doc.NewDocument();
    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "abcdefgh", "abcdefgh"});
    doc.EncryptOnSave();
    AddCard("only here");
    const std::vector<std::string> before = Describe(doc.Cards());
    EXPECT_EQ(LockDocument(doc), LockOutcome::Locked);
    EXPECT_TRUE(ui.fileRequests.empty());  // no chooser
    EXPECT_TRUE(Describe(doc.Cards()).empty());
    ASSERT_TRUE(doc.Unlock("abcdefgh"));
    EXPECT_EQ(Describe(doc.Cards()), before);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.PathName().empty());
}

// Closing a locked document with unsaved changes asks as for any other; Yes asks for the
// password (again after a wrong one) and saves what was sealed.
TEST_F(DocumentLockTest, SavingALockedDocumentOnCloseAsksForItsPassword) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    AddCard("new one");
    const std::vector<std::string> before = Describe(doc.Cards());
    ASSERT_EQ(LockDocument(doc), LockOutcome::Locked);

    ui.messageAnswers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsLocked());

    ui.ClearShown();
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    ui.passwords.push_back("wrong");
    ui.passwords.push_back("open sesame");
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(ui.passwordTitles.back(), "Password for cards.tse");
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Save changes to " + path + "?",
                                                    msg::kPasswordNotCorrect}));
    EXPECT_FALSE(doc.IsModified());
    DocumentModel again(ui, profile, nullptr);
    ui.passwords.push_back("open sesame");
    ASSERT_TRUE(again.Open(path, ""));
    EXPECT_EQ(Describe(again.Cards()), before);

    // Cancel at the password keeps the document open and locked.
    CCard* more = again.Cards().Adopt(testing::MakeCard({.code = kWwwSites, .name = "more"}));
    again.Cards().AddCardToCategory(kWwwSites, more);
    again.SetModified(true);
    ASSERT_EQ(LockDocument(again), LockOutcome::Locked);
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    ui.passwords.push_back(std::nullopt);
    EXPECT_FALSE(again.SaveModified());
    EXPECT_TRUE(again.IsLocked());
}

// The seal holds everything the document has, also what no older layout can hold: a
// text too long for it, earlier versions, the recycle bin, optional fields, tombstones.
// All of it comes back with the password, still unsaved.
TEST_F(DocumentLockTest, EverythingTheDocumentHoldsIsSealedAndComesBack) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    CCard* c = doc.Cards().Adopt(testing::MakeCard(
        {.code = kWwwSites, .name = "huge", .note = std::string(kMaxTextLength + 1, 'x')}));
    doc.Cards().AddCardToCategory(kWwwSites, c);
    CCard earlier = *c;
    c->SetHistory({earlier});
    c->SetTags({"t"});
    c->SetIdentity(MakeCardIdentity());
    CCard* binned = doc.Cards().Adopt(testing::MakeCard({.code = kWwwSites, .name = "binned"}));
    binned->SetRecycledMs(5);
    doc.Cards().RecycleBin().AddCard(binned);
    doc.Cards().Tombstones().push_back({MakeCardIdentity(), 1});
    doc.SetModified(true);
    const std::vector<std::string> before = Describe(doc.Cards());

    std::string why;
    ASSERT_EQ(LockDocument(doc, {}, {}, &why), LockOutcome::Locked) << why;
    ASSERT_TRUE(doc.Unlock("open sesame"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Describe(doc.Cards()), before);
    const CCard& back =
        *doc.Cards().List(kWwwSites).CardAt(doc.Cards().List(kWwwSites).Count() - 1);
    EXPECT_EQ(back.Note().size(), kMaxTextLength + 1);
    EXPECT_EQ(back.History().size(), 1u);
    EXPECT_EQ(back.Tags(), std::vector<std::string>{"t"});
    EXPECT_EQ(doc.Cards().RecycleBin().Count(), 1);
    EXPECT_EQ(doc.Cards().Tombstones().size(), 1u);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(NotSealedMessage("cards.tse", "Out of memory."),
              "cards.tse was not locked: its unsaved changes could not be sealed (Out of memory.)");
}

// What open card editors held is sealed with the document, even one whose file holds
// all else, and is given back once after the unlock, with the card each one edited.
TEST_F(DocumentLockTest, DraftsAreSealedWithTheDocumentAndGivenBackOnce) {
    const std::string path = WriteFile("cards.tse", "open sesame");
    Open(path, "open sesame");
    CCard* bank = doc.Cards().List(kBankAccounts).CardAt(0);
    CardDraft edit{.editing = PlaceOfCard(doc.Cards(), bank),
                   .name = "bank",
                   .password = "typed-not-saved",
                   .note = "line1\r\nline2",
                   .automaticAccess = true};
    CardDraft fresh{.name = "half typed", .userId = "bob", .newBrowserWindow = true};
    ASSERT_EQ(edit.editing, (CardPlace{kBankAccounts, 0}));

    EXPECT_EQ(LockDocument(doc, {edit, fresh}), LockOutcome::Locked);
    EXPECT_TRUE(doc.HoldsSealedChanges());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Unlock("open sesame"));
    const std::vector<CardDraft> back = doc.TakeDrafts();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].editing, edit.editing);
    EXPECT_EQ(CardAtPlace(doc.Cards(), *back[0].editing)->Name(), "bank");
    EXPECT_EQ(back[0].password, "typed-not-saved");
    EXPECT_EQ(back[0].note, "line1\r\nline2");
    EXPECT_TRUE(back[0].automaticAccess);
    EXPECT_FALSE(back[1].editing.has_value());
    EXPECT_EQ(back[1].name, "half typed");
    EXPECT_EQ(back[1].userId, "bob");
    EXPECT_TRUE(back[1].newBrowserWindow);
    EXPECT_TRUE(doc.TakeDrafts().empty());
}

// The seal itself: the cards and drafts come back byte for byte with the password, not
// with another, and the sealed bytes hold none of the texts, nor the password.
TEST(SealedChangesTest, RoundTripWrongPasswordAndNothingInClear) {
    CCardCollection cards;
    for (const CardFields& c : kCards)
        testing::AddCard(cards, c);
    // A deleted card keeps no secrets (Delete clears them, as saves do).
    for (CCard* c : cards.DeletedList())
        ClearDeletedCardSecrets(*c);
    const CardDraft draft{.editing = CardPlace{kWwwSites, 0},
                          .name = "mail",
                          .address = "https://mail.example",
                          .password = "DraftSecret9"};
    std::vector<MessageRequest> why;
    const std::optional<std::vector<std::uint8_t>> sealed =
        SealChanges(cards, 7, {draft}, "open sesame", testing::kQuickSeal, {}, why);
    ASSERT_TRUE(sealed.has_value());
    EXPECT_TRUE(why.empty());

    const std::string bytes(sealed->begin(), sealed->end());
    for (const char* secret : {"S3cret!pw", "hunter22", "alice", "mail", "bank", "n1",
                               "DraftSecret9", "https://mail.example", "open sesame"})
        EXPECT_EQ(bytes.find(secret), std::string::npos) << secret;

    const UnsealedChanges wrong = UnsealChanges(*sealed, "open sesamE", 0, {});
    EXPECT_EQ(wrong.status, UnsealStatus::WrongPassword);
    EXPECT_TRUE(Describe(*wrong.cards).empty());
    EXPECT_TRUE(wrong.drafts.empty());

    const UnsealedChanges opened = UnsealChanges(*sealed, "open sesame", 0, {});
    ASSERT_EQ(opened.status, UnsealStatus::Opened);
    EXPECT_EQ(Describe(*opened.cards), Describe(cards));
    ASSERT_EQ(opened.drafts.size(), 1u);
    EXPECT_EQ(opened.drafts[0].editing, draft.editing);
    EXPECT_EQ(opened.drafts[0].address, draft.address);
    EXPECT_EQ(opened.drafts[0].password, draft.password);

    // Any byte changed: nothing opens.
    std::vector<std::uint8_t> flipped = *sealed;
    flipped[flipped.size() / 2] ^= 1;
    EXPECT_NE(UnsealChanges(flipped, "open sesame", 0, {}).status, UnsealStatus::Opened);
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
