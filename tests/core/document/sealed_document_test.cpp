// The document and the sealed file: new encryption is sealed, an opened file keeps its
// layout and settings, the handheld's file stays compatible, the layout choice of the
// File Encryption dialog, and the settings new seals take.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "core/base/message_texts.h"
#include "core/cards/card_identity.h"
#include "core/cards/categories.h"
#include "core/document/document_host.h"
#include "core/document/document_model.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/file/sealed_file.h"
#include "core/file/sealed_payload.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "support/card_fixtures.h"
#include "support/data_files.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::kQuickSeal;
using testing::ScriptedAnswers;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

class NoteHost : public IDocumentHost {
public:
    Texts notes;
    std::string CurrentCategoryText() const override { return "WWW Sites"; }
    void SelectCategoryStartingWith(const std::string&) override {}
    void RemoveSearchResultsEntry() override {}
    void RestartAutoSaveTimer() override {}
    void ShowEncryptionState() override {}
    void AddToRecentFiles(const std::string&) override {}
    void ShowStatusText(const std::string& text) override { notes.push_back(text); }
};

FileFormat FormatOf(const fs::path& path) {
    return InspectHeader(testing::ReadFileBytes(path)).format;
}

// A profile whose new seals use the small settings, so that the tests stay fast.
MemoryProfile SmallSealProfile() {
    MemoryProfile profile;
    profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
    profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
    return profile;
}

class DocumentSealedTest : public ::testing::Test {
protected:
    void SetUp() override {
        DocumentEvents events;
        events.layoutChanged = [this] { layouts.push_back(FileLayoutText(doc.Layout())); };
        doc.SetEvents(std::move(events));
    }

    void AddCard(DocumentModel& model, const std::string& name) {
        testing::AddCard(model.Cards(), {.code = kWwwSites, .name = name, .password = "pw"});
    }

    // Writes a file of the given layout holding one card "mail" under "hunter22".
    fs::path MakeFile(const std::string& name, bool encrypt, bool sealed,
                      SealSettings settings = kQuickSeal, std::uint32_t value18 = 0) {
        FileCipherState state = testing::CipherFor("hunter22");
        state.encryptOnSave = encrypt;
        state.sealed = sealed;
        state.seal = settings;
        state.headerValue18 = value18;
        const fs::path path = dir / name;
        EXPECT_TRUE(testing::WriteDataFile(path, {{.code = kWwwSites, .name = "mail"}}, state));
        return path;
    }

    testing::TempFolder folder{"doc_sealed"};
    fs::path dir = folder.Path();
    ScriptedAnswers ui;
    MemoryProfile profile = SmallSealProfile();
    NoteHost host;
    DocumentModel doc{ui, profile, &host};
    Texts layouts;  // what layoutChanged reported, in order
};

TEST_F(DocumentSealedTest, NewEncryptionIsSealedByDefaultWithTheSettingsOfTheProfile) {
    AddCard(doc, "mail");
    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "hunter22", "hunter22"});
    doc.EncryptOnSave();
    // The dialog offered sealing, and the answer kept it.
    ASSERT_EQ(ui.encryptionStarts.size(), 1u);
    EXPECT_TRUE(ui.encryptionStarts[0].sealed);
    EXPECT_EQ(doc.Layout(), FileLayout::Sealed);
    EXPECT_EQ(layouts, Texts{"Sealed"});

    const fs::path path = dir / "new.tse";
    ASSERT_TRUE(doc.SaveTo(path.string()));
    const std::optional<SealedHeader> header = ParseSealedHeader(testing::ReadFileBytes(path));
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->settings, kQuickSeal);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocumentSealedTest, TheCompatibleChoiceWritesTheLayoutOlderReadersUnderstand) {
    AddCard(doc, "mail");
    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "hunter22", "hunter22", false});
    doc.EncryptOnSave();
    EXPECT_EQ(doc.Layout(), FileLayout::Compatible);
    const fs::path path = dir / "old.tse";
    ASSERT_TRUE(doc.SaveTo(path.string()));
    const Bytes bytes = testing::ReadFileBytes(path);
    EXPECT_EQ(FormatOf(path), FileFormat::MacSyncVersion);
    EXPECT_EQ(bytes[12], 1);  // enciphered
    EXPECT_EQ(layouts, Texts{"Encrypted (compatible)"});
}

TEST_F(DocumentSealedTest, AnOpenedFileKeepsItsLayoutAndSettingsOnSave) {
    const SealSettings own{2, 16 * 1024};
    struct Case {
        const char* what;
        fs::path file;
        FileLayout layout;
        FileFormat format;
        Texts notes;
    };
    const Case cases[] = {
        {"sealed",
         MakeFile("s.tse", true, true, own, 77),
         FileLayout::Sealed,
         FileFormat::Sealed,
         {}},
        {"compatible",
         MakeFile("c.tse", true, false, kQuickSeal, 77),
         FileLayout::Compatible,
         FileFormat::MacSyncVersion,
         {msg::kCompatibleNote}},
        {"plain",
         MakeFile("p.tsf", false, false, kQuickSeal, 77),
         FileLayout::Plain,
         FileFormat::MacSyncVersion,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        NoteHost notes;
        DocumentModel model(answers, profile, &notes);
        if (c.layout != FileLayout::Plain)
            answers.Password("hunter22");
        const Bytes before = testing::ReadFileBytes(c.file);
        ASSERT_TRUE(model.Open(c.file.string(), ""));
        EXPECT_EQ(model.Layout(), c.layout);
        // Opening an old-style encrypted file says once that it can be sealed.
        EXPECT_EQ(notes.notes, c.notes);

        AddCard(model, "added");
        model.SetModified(true);
        ASSERT_TRUE(model.Save());
        const Bytes after = testing::ReadFileBytes(c.file);
        EXPECT_EQ(InspectHeader(after).format, c.format);
        if (c.layout == FileLayout::Sealed) {
            // The file's own settings, a new salt and nonce.
            EXPECT_EQ(ParseSealedHeader(after)->settings, own);
            EXPECT_NE(Bytes(before.begin() + 32, before.begin() + 72),
                      Bytes(after.begin() + 32, after.begin() + 72));
        }

        ScriptedAnswers readerUi;
        if (c.layout != FileLayout::Plain)
            readerUi.Password("hunter22");
        DocumentModel reader(readerUi, profile, nullptr);
        ASSERT_TRUE(reader.Open(c.file.string(), ""));
        EXPECT_EQ(reader.Cards().LiveCardCount(), 2);
        EXPECT_EQ(reader.CipherState().headerValue18, 77u);
        EXPECT_TRUE(answers.shown.empty());
    }
}

TEST_F(DocumentSealedTest, SetPasswordStartsWithTheFilesLayoutAndCanSealACompatibleFile) {
    const fs::path path = MakeFile("c.tse", true, false);
    ui.Password("hunter22");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    EXPECT_EQ(layouts, Texts{"Encrypted (compatible)"});

    FileEncryptionAnswer seal{true, "hunter22", "hunter22", true};
    ui.encryptionAnswers.push_back(seal);
    doc.EncryptOnSave();
    // Started on the file's layout, knowing it has a password (which is not shown).
    ASSERT_EQ(ui.encryptionStarts.size(), 1u);
    EXPECT_FALSE(ui.encryptionStarts[0].sealed);
    EXPECT_TRUE(ui.encryptionStarts[0].hasPassword);
    EXPECT_EQ(doc.Layout(), FileLayout::Sealed);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(FormatOf(path), FileFormat::Sealed);
    EXPECT_EQ(ParseSealedHeader(testing::ReadFileBytes(path))->settings, kQuickSeal);
    EXPECT_EQ(layouts, (Texts{"Encrypted (compatible)", "Sealed"}));

    // A refused password changes the layout no more than the password.
    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "short", "short", false});
    doc.EncryptOnSave();
    EXPECT_EQ(doc.Layout(), FileLayout::Sealed);
    EXPECT_EQ(ui.Texts(), Texts{msg::kPasswordTooShort});
}

TEST_F(DocumentSealedTest, TheHandheldFileStaysCompatible) {
    AddCard(doc, "mail");
    doc.SetEncryptionPassword("hunter22");
    const fs::path path = dir / "My passwords.tse";
    ASSERT_TRUE(doc.WriteNewEncryptedFile(path.string()));
    EXPECT_EQ(FormatOf(path), FileFormat::MacSyncVersion);
    EXPECT_EQ(doc.Layout(), FileLayout::Compatible);
}

TEST_F(DocumentSealedTest, ATooLargeCompatibleFileIsSealedWhenTheUserSaysYes) {
    const fs::path path = MakeFile("big.tse", true, false);
    ui.Password("hunter22");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    for (int i = 0; i < 3; ++i)
        testing::AddCard(doc.Cards(), {.code = i, .note = std::string(30000, 'n')});
    doc.SetModified(true);

    ui.messageAnswers.push_back(MsgAnswer::No);
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(FormatOf(path), FileFormat::MacSyncVersion);  // untouched
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Layout(), FileLayout::Compatible);

    ui.messageAnswers.push_back(MsgAnswer::Yes);
    EXPECT_TRUE(doc.Save());
    EXPECT_EQ(FormatOf(path), FileFormat::Sealed);
    EXPECT_EQ(ParseSealedHeader(testing::ReadFileBytes(path))->settings, kQuickSeal);
    EXPECT_EQ(doc.Layout(), FileLayout::Sealed);
    EXPECT_EQ(layouts.back(), "Sealed");
    EXPECT_FALSE(doc.IsModified());
}

// The wait for a sealed file's key is shown as busy work whether the file is opened or
// a locked document is unlocked.
TEST_F(DocumentSealedTest, UnlockingASealedFileShowsTheWaitAsOpeningDoes) {
    class BusyRecordingAnswers : public ScriptedAnswers {
    public:
        std::vector<std::string> busy;
        void RunWhileBusy(const std::string& what, const std::function<void()>& work) override {
            busy.push_back(what);
            work();
        }
    };
    const fs::path path = MakeFile("sealed.tse", true, true);
    BusyRecordingAnswers user;
    DocumentModel model{user, profile, &host};
    user.Password("hunter22");
    ASSERT_TRUE(model.Open(path.string(), ""));
    EXPECT_EQ(user.busy, Texts{msg::kOpeningSealed});

    ASSERT_TRUE(model.Lock());
    user.busy.clear();
    ASSERT_TRUE(model.Unlock("hunter22"));
    EXPECT_EQ(user.busy, Texts{msg::kOpeningSealed});
    EXPECT_EQ(model.Cards().List(kWwwSites).Count(), 1);
    EXPECT_EQ(user.passwordTitles.size(), 1u);  // the opening's dialog only
}

TEST(DocumentSealSettings, ComeFromTheProfileWithinTheReadableRange) {
    struct Case {
        std::optional<int> ops;
        std::optional<int> kib;
        SealSettings expected;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, kDefaultSealSettings},
        {4, 65536, {4, std::uint64_t{64} << 20}},
        {1, 8, {1, 8192}},
        {10, 1024 * 1024, {10, std::uint64_t{1} << 30}},
        // Out of range: the defaults, never a weaker or unreadable seal.
        {0, 65536, kDefaultSealSettings},
        {11, 65536, kDefaultSealSettings},
        {-1, 65536, kDefaultSealSettings},
        {3, 7, kDefaultSealSettings},
        {3, 1024 * 1024 + 1, kDefaultSealSettings},
        {3, -8, kDefaultSealSettings},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ops.value_or(-99)) + "/" +
                     std::to_string(c.kib.value_or(-99)));
        MemoryProfile profile;
        if (c.ops)
            profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, *c.ops);
        if (c.kib)
            profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, *c.kib);
        ScriptedAnswers ui;
        DocumentModel model(ui, profile, nullptr);
        EXPECT_EQ(model.NewSealSettings(), c.expected);
    }
}

// ---- The second sealed layout ----

// The identities of the cards in list 0, in order.
Texts IdentitiesIn(const CCardCollection& cards) {
    Texts out;
    for (const CCard* card : cards.List(kWwwSites))
        out.push_back(IdentityHex(card->Identity()));
    return out;
}

TEST_F(DocumentSealedTest, AFileOfTheFirstSealedLayoutIsSavedInTheSecondAndSaysSoOnce) {
    // A first-layout file: the plain data file sealed.
    const fs::path plain = MakeFile("plain.tsf", false, false);
    const fs::path path = dir / "old.tse";
    ASSERT_TRUE(testing::WriteFileBytes(
        path, SealBytes(testing::ReadFileBytes(plain), "hunter22", kQuickSeal).value()));
    ui.Password("hunter22");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    EXPECT_EQ(doc.Layout(), FileLayout::Sealed);
    EXPECT_EQ(SealedLayoutOf(testing::ReadFileBytes(path)), 1);

    AddCard(doc, "bank");
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(SealedLayoutOf(testing::ReadFileBytes(path)), 2);
    EXPECT_EQ(host.notes, Texts{"old.tse is now saved in the newer sealed layout."});
    // The next save says nothing more.
    AddCard(doc, "shop");
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(host.notes.size(), 1u);
    // And the file keeps the key settings it had.
    EXPECT_EQ(ParseSealedHeader(testing::ReadFileBytes(path))->settings, kQuickSeal);
    ui.Password("hunter22");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    EXPECT_EQ(doc.Cards().List(kWwwSites).Count(), 3);
}

TEST_F(DocumentSealedTest, CardsFromALayoutWithoutIdentitiesKeepTheOnesTheirFirstSealedSaveGave) {
    const fs::path path = MakeFile("cards.tse", true, false);
    ui.Password("hunter22");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    EXPECT_FALSE(HasIdentity(doc.Cards().List(kWwwSites).CardAt(0)->Identity()));
    // A save in the compatible layout has no identities to keep.
    AddCard(doc, "second");
    ASSERT_TRUE(doc.Save());
    EXPECT_FALSE(HasIdentity(doc.Cards().List(kWwwSites).CardAt(0)->Identity()));

    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "", "", true});
    doc.EncryptOnSave();
    ASSERT_EQ(doc.Layout(), FileLayout::Sealed);
    ASSERT_TRUE(doc.Save());
    const Texts given = IdentitiesIn(doc.Cards());
    ASSERT_EQ(given.size(), 2u);
    EXPECT_NE(given[0], given[1]);
    for (int round = 0; round < 2; ++round) {
        ui.Password("hunter22");
        ASSERT_TRUE(doc.Open(path.string(), ""));
        EXPECT_EQ(IdentitiesIn(doc.Cards()), given);
        doc.SetModified(true);
        ASSERT_TRUE(doc.Save());
    }
}

TEST_F(DocumentSealedTest, AnOlderLayoutSaysWhatItCannotKeepAndOffersToSeal) {
    const fs::path path = MakeFile("cards.tse", true, false);
    struct Case {
        const char* what;
        std::size_t button;  // Seal the File, Save Without Them, Cancel
        FileFormat written;  // nothing written: NotTessalineFile stands for "as before"
        bool sealedAfter;
    };
    const Case cases[] = {
        {"cancel", 2, FileFormat::MacSyncVersion, false},
        {"save without them", 1, FileFormat::MacSyncVersion, false},
        {"seal", 0, FileFormat::Sealed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.Password("hunter22");
        ASSERT_TRUE(doc.Open(path.string(), ""));
        ASSERT_EQ(doc.Layout(), FileLayout::Compatible);
        const std::string before = testing::ReadFileText(path);
        CCard* card = doc.Cards().List(kWwwSites).CardAt(0);
        CCard earlier = *card;
        card->SetPassword("new");
        card->SetHistory({earlier});
        card->SetTags({"work"});
        CCard* binned = doc.Cards().Adopt(testing::MakeCard({.name = "old"}));
        binned->SetRecycledMs(1);
        doc.Cards().RecycleBin().AddCard(binned);
        doc.SetModified(true);
        ui.ClearShown();
        ui.buttonAnswers.push_back(c.button);
        EXPECT_EQ(doc.Save(), c.button != 2);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text,
                  "cards.tse is saved in a layout that cannot keep 1 card in the recycle bin, 1 "
                  "earlier version of a card and the expiry, tags, one-time password and custom "
                  "fields of 1 card.\n\nSeal the file instead? A sealed file keeps all of it, but "
                  "older readers cannot open it. If you save without them, they stay in this "
                  "window until it is closed but are not in the file.");
        EXPECT_EQ(ui.buttonLists[0], (Texts{"Seal the File", "Save Without Them", "Cancel"}));
        EXPECT_EQ(ui.defaultButtons[0], 0u);  // Enter loses nothing
        EXPECT_EQ(doc.Layout() == FileLayout::Sealed, c.sealedAfter);
        if (c.button == 2) {
            EXPECT_EQ(testing::ReadFileText(path), before);
            EXPECT_TRUE(doc.IsModified());
            continue;
        }
        EXPECT_EQ(FormatOf(path), c.written);
        ui.Password("hunter22");
        ASSERT_TRUE(doc.Open(path.string(), ""));
        const CCard& read = *doc.Cards().List(kWwwSites).CardAt(0);
        EXPECT_EQ(read.Password(), "new");
        EXPECT_EQ(read.History().size(), c.sealedAfter ? 1u : 0u);
        EXPECT_EQ(doc.Cards().RecycleBin().Count(), c.sealedAfter ? 1 : 0);
        if (!c.sealedAfter) {
            // Agreed once: the same losses are not asked about again this session...
            CCard* again = doc.Cards().List(kWwwSites).CardAt(0);
            again->SetTags({"x"});
            doc.SetModified(true);
            ui.ClearShown();
            ui.buttonAnswers.push_back(1);
            ASSERT_TRUE(doc.Save());
            ASSERT_EQ(ui.shown.size(), 1u);  // a new document session: asked
            again->SetNote("changed");
            doc.SetModified(true);
            ASSERT_TRUE(doc.Save());  // the same losses: not asked again
            EXPECT_EQ(ui.shown.size(), 1u);
            // ...and the automatic save never asks: it leaves the file and says why.
            CCard earlier2 = *again;
            again->SetHistory({earlier2});
            doc.SetModified(true);
            const std::string kept = testing::ReadFileText(path);
            EXPECT_FALSE(doc.AutoSave());
            EXPECT_EQ(testing::ReadFileText(path), kept);
            EXPECT_TRUE(doc.IsModified());
            ASSERT_FALSE(host.notes.empty());
            EXPECT_EQ(host.notes.back().rfind("cards.tse is saved in a layout that cannot keep", 0),
                      0u);
        }
    }
}

TEST_F(DocumentSealedTest, AFileANewerProgramWroteOpensReadOnlyAndIsNeverWrittenOver) {
    // A payload whose version is 2, sealed as the layout says.
    CCardCollection cards;
    testing::AddCard(cards, {.code = kWwwSites, .name = "mail"});
    LockedBytes payload = EncodePayload(cards, PayloadSettings{}, 0);
    ASSERT_EQ(payload[1], 0x00);  // key 0, the version...
    ASSERT_EQ(payload[2], 0x01);  // ...1
    payload[2] = 0x02;
    const fs::path path = dir / "newer.tse";
    ASSERT_TRUE(testing::WriteFileBytes(path, Seal2Bytes(payload, "hunter22", kQuickSeal).value()));
    const std::string before = testing::ReadFileText(path);

    ui.Password("hunter22");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    EXPECT_TRUE(doc.IsReadOnly());
    EXPECT_EQ(ui.Texts(), Texts{"newer.tse was written by a newer Tessaline; it opens read-only."});
    EXPECT_EQ(doc.Cards().List(kWwwSites).Count(), 1);
    // Save asks for another name; Cancel leaves the file as it was.
    doc.SetModified(true);
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(testing::ReadFileText(path), before);
}

}  // namespace
}  // namespace tessaline
