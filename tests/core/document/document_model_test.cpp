#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/message_texts.h"
#include "core/cards/categories.h"
#include "core/document/document_host.h"
#include "core/document/document_model.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/file/file_lock.h"
#include "core/file/safe_file.h"
#include "core/file/sealed_payload.h"
#include "core/platform/profile.h"
#include "support/data_files.h"
#include "support/save_leftovers.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::IsEncryptedFile;
using testing::ReadFileText;
using testing::ScriptedAnswers;
using testing::WriteFileText;
using Texts = std::vector<std::string>;

class FakeHost : public IDocumentHost {
public:
    std::string categoryText = "WWW Sites";
    std::vector<std::string> selected;
    std::vector<std::string> recent;
    int searchResultsRemoved = 0;
    int timerRestarts = 0;
    int encryptionShown = 0;

    std::string CurrentCategoryText() const override { return categoryText; }
    void SelectCategoryStartingWith(const std::string& text) override { selected.push_back(text); }
    void RemoveSearchResultsEntry() override { ++searchResultsRemoved; }
    void RestartAutoSaveTimer() override { ++timerRestarts; }
    void ShowEncryptionState() override { ++encryptionShown; }
    void AddToRecentFiles(const std::string& path) override { recent.push_back(path); }
    void ShowStatusText(const std::string& text) override { statusTexts.push_back(text); }

    std::vector<std::string> statusTexts;
};

FileEncryptionAnswer Box(bool on, std::string first, std::string second) {
    return FileEncryptionAnswer{on, std::move(first), std::move(second)};
}

class DocumentModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Files sealed here use small key settings, so that the tests stay fast.
        profile.WriteInt("General Preferences", "Sealed Key Operations", 1);
        profile.WriteInt("General Preferences", "Sealed Key Memory KiB", 8);
    }

    CCard* AddCard(DocumentModel& model, int code, const std::string& name,
                   const std::string& password = "pw") {
        CCard card;
        card.SetCategory(static_cast<std::uint8_t>(code));
        card.SetName(name);
        card.SetPassword(password);
        CCard* adopted = model.Cards().Adopt(std::move(card));
        model.Cards().AddCardToCategory(code, adopted);
        return adopted;
    }

    // Writes a file holding the card "mail", made by a document of its own: plain, or
    // encrypted under password.
    bool WriteOneCardFile(const fs::path& path, const std::string& password = "") {
        ScriptedAnswers quiet;
        DocumentModel maker(quiet, profile, nullptr);
        AddCard(maker, kWwwSites, "mail");
        if (password.empty())
            return maker.SaveTo(path.string());
        maker.SetEncryptionPassword(password);
        return maker.WriteNewEncryptedFile(path.string());
    }

    // Gives doc the card "mail" and saves it as path, which becomes its file.
    bool SaveOneCardAs(const fs::path& path) {
        AddCard(doc, kWwwSites, "mail");
        if (!doc.SaveTo(path.string()))
            return false;
        doc.SetPathName(path.string());
        return true;
    }

    // Scripts a Save As: the chooser picks chosen in dir, then the question about the form
    // and the File Encryption dialog, where the case has them, get their answers.
    void ScriptSaveAs(ScriptedAnswers& answers, const std::string& chosen,
                      std::optional<MsgAnswer> question,
                      std::optional<std::optional<FileEncryptionAnswer>> encryptionDialog) const {
        answers.fileAnswers.push_back(FileDialogAnswer{(dir / chosen).string(), 0});
        if (question)
            answers.messageAnswers.push_back(*question);
        if (encryptionDialog)
            answers.encryptionAnswers.push_back(*encryptionDialog);
    }

    // Makes doc an encrypted document under password with one card.
    void MakeEncrypted(const std::string& password) {
        AddCard(doc, kWwwSites, "mail");
        ui.encryptionAnswers.push_back(Box(true, password, password));
        doc.EncryptOnSave();
        ui.shown.clear();
        ui.captionTexts.clear();
    }

    // Names of the cards a fresh document reads from path with password (or none).
    std::optional<std::vector<std::string>> CardNamesIn(const fs::path& path,
                                                        const std::string& password = "") {
        ScriptedAnswers other;
        // A wrong password is asked for again: that second prompt is cancelled.
        if (IsEncryptedFile(path))
            other.Password(password).Password(std::nullopt);
        MemoryProfile otherProfile;
        DocumentModel reader(other, otherProfile, nullptr);
        const bool opened = reader.Open(path.string(), "");
        other.passwords.clear();  // the Cancel is there for a wrong password only
        if (!opened)
            return std::nullopt;
        std::vector<std::string> names;
        for (int code = 0; code < kCategoryCount; ++code) {
            for (const CCard* card : reader.Cards().List(code))
                names.push_back(card->Name());
        }
        return names;
    }

    testing::TempFolder folder{"doc_model"};
    fs::path dir = folder.Path();
    ScriptedAnswers ui;
    MemoryProfile profile;
    FakeHost host;
    DocumentModel doc{ui, profile, &host};
};

// ---- Opening ----

TEST_F(DocumentModelTest, OpeningAFileShowsTheReadersMessageThenFailedToOpenAndKeepsNothing) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::optional<std::string>> passwords;  // answers to the prompts asked
        Texts messages;
    };
    // An encrypted one-card file under "hunter22", made by a document of its own.
    ASSERT_TRUE(WriteOneCardFile(dir / "made.tse", "hunter22"));
    const std::string encrypted = ReadFileText(dir / "made.tse");
    const Case cases[] = {
        // A wrong password is asked for again; Cancel then ends the open, and being the
        // user's own choice it is not reported as a failure.
        {"wrong password, then Cancel",
         encrypted,
         {"hunter23", std::nullopt},
         {msg::kPasswordNotCorrect}},
        {"empty password, then Cancel",
         encrypted,
         {"", std::nullopt},
         {msg::kMustEnterPassword, msg::kPasswordNotCorrect}},
        {"cancelled prompt", encrypted, {std::nullopt}, {}},
        {"not a data file",
         "hello, this is no card file at all",
         {},
         {"This is not a Tessaline file.", "Failed to open document."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        for (const std::optional<std::string>& password : c.passwords)
            answers.Password(password);
        FakeHost frame;
        DocumentModel model(answers, profile, &frame);
        AddCard(model, kBankAccounts, "kept");
        WriteFileText(dir / "in.tse", c.bytes);

        EXPECT_FALSE(model.Open((dir / "in.tse").string(), ""));
        EXPECT_EQ(answers.Texts(), c.messages);
        // The failure is the program's own message.
        if (!answers.shown.empty() && answers.shown.back().text == "Failed to open document.") {
            const MessageRequest& last = answers.shown.back();
            EXPECT_EQ(last.caption, MsgCaption::Application);
            EXPECT_EQ(last.buttons, MsgButtons::Ok);
        }
        // The failed open took nothing over: no path, no cards, no recent-file entry.
        EXPECT_EQ(model.PathName(), "");
        EXPECT_EQ(model.Cards().List(kBankAccounts).Count(), 1);
        EXPECT_EQ(model.Cards().List(kWwwSites).Count(), 0);
        EXPECT_EQ(model.EncryptionState(), 0);
        EXPECT_TRUE(frame.recent.empty());
    }
}

// Opening a data file (and unlocking it, which reads it again) removes the copies that
// interrupted saves left beside it: our own only, never a link or another user's file.
TEST_F(DocumentModelTest, OpeningAFileRemovesWhatInterruptedSavesLeftBesideIt) {
    const fs::path path = dir / "cards.tse";
    ASSERT_TRUE(WriteOneCardFile(path, "long enough"));
    auto exists = [](const fs::path& p) { return fs::exists(fs::symlink_status(p)); };
    const testing::SaveLeftovers opened = testing::MakeSaveLeftovers(path);
    ui.Password("long enough");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    for (const fs::path& p : opened.ours)
        EXPECT_FALSE(exists(p)) << p;
    for (const fs::path& p : opened.others)
        EXPECT_TRUE(exists(p)) << p;

    ASSERT_TRUE(doc.Lock());
    const fs::path leftover = dir / ".cards.tse.tessaline-x9Y8z7";
    ASSERT_TRUE(WriteFileText(leftover, "cards in clear"));
    ASSERT_TRUE(doc.Unlock("long enough"));
    EXPECT_FALSE(exists(leftover));
}

TEST_F(DocumentModelTest, AWrongPasswordAsksAgainUntilTheRightOne) {
    ASSERT_TRUE(WriteOneCardFile(dir / "Vault.tse", "hunter22"));
    ScriptedAnswers answers;
    answers.Password("hunter23").Password("").Password("hunter22");
    DocumentModel model(answers, profile, &host);
    ASSERT_TRUE(model.Open((dir / "Vault.tse").string(), "from the card"));
    EXPECT_EQ(answers.Texts(),
              (Texts{msg::kPasswordNotCorrect, msg::kMustEnterPassword, msg::kPasswordNotCorrect}));
    // Every prompt names the file; only the first starts with the offered password.
    EXPECT_EQ(answers.passwordTitles, Texts(3, "Password for Vault.tse"));
    EXPECT_EQ(answers.passwordPrefills, (Texts{"from the card", "", ""}));
    EXPECT_EQ(model.Cards().List(kWwwSites).Count(), 1);
    EXPECT_EQ(model.EncryptionState(), 1);
    EXPECT_EQ(model.PathName(), (dir / "Vault.tse").string());
}

TEST_F(DocumentModelTest, OpeningAnEncryptedFileAsksWithItsTitleAndThePrefillAndKeepsThePassword) {
    AddCard(doc, kWwwSites, "mail");
    doc.SetEncryptionPassword("hunter22");
    const fs::path path = dir / "Vault.tse";
    ASSERT_TRUE(doc.WriteNewEncryptedFile(path.string()));

    DocumentModel opened(ui, profile, &host);
    ui.Password("hunter22");
    ASSERT_TRUE(opened.Open(path.string(), "from the selected card"));

    EXPECT_EQ(ui.passwordTitles, Texts{"Password for Vault.tse"});
    EXPECT_EQ(ui.passwordPrefills, Texts{"from the selected card"});
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(opened.EncryptionState(), 1);
    EXPECT_EQ(opened.CipherState().encryptionPassword, "hunter22");
    EXPECT_EQ(opened.PathName(), path.string());
    EXPECT_EQ(opened.Title(), "Vault.tse");
    EXPECT_FALSE(opened.IsModified());
    EXPECT_EQ(host.recent, Texts{path.string()});

    // The next save re-encrypts under the same password without asking anything.
    AddCard(opened, kFtpServers, "ftp");
    opened.SetModified(true);
    ASSERT_TRUE(opened.Save());
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(CardNamesIn(path, "hunter22"), (Texts{"mail", "ftp"}));
    EXPECT_EQ(CardNamesIn(path, "hunter2"), std::nullopt);
}

TEST_F(DocumentModelTest, AnEmptyFileShowsEmptyFileAndOpensWithNoCards) {
    const fs::path path = dir / "empty.tsf";
    WriteFileText(path, "");
    ASSERT_TRUE(doc.Open(path.string(), ""));
    EXPECT_EQ(ui.Texts(), Texts{"Empty File !"});
    EXPECT_FALSE(doc.HasStoredCards());
    EXPECT_EQ(doc.EncryptionState(), 0);
    EXPECT_EQ(doc.Title(), "empty.tsf");
}

TEST_F(DocumentModelTest, AFileThatCannotBeReadSaysWhichAndWhy) {
    EXPECT_FALSE(doc.Open((dir / "missing.tse").string(), ""));
    EXPECT_EQ(ui.Texts(), Texts{"Failed to open document.\ncannot open " +
                                (dir / "missing.tse").string() + ": No such file or directory"});
}

TEST_F(DocumentModelTest, OpeningSelectsTheRememberedCategoryAndRestartsTheAutoSaveTimerWhenOn) {
    struct Case {
        int autoSaveCheck;
        std::string lastSelected;
        int restarts;
        Texts selected;
    };
    const Case cases[] = {
        {1, "Bank Accounts", 1, {"Bank Accounts"}},
        {0, "Search Results", 0, {"Search Results"}},
        {2, "", 0, {}},
    };
    const fs::path path = dir / "plain.tsf";
    AddCard(doc, kWwwSites, "mail");
    ASSERT_TRUE(doc.SaveTo(path.string()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastSelected);
        MemoryProfile settings;
        settings.WriteInt("Internet Preferences", "Automatic Save Check", c.autoSaveCheck);
        settings.WriteText("General Preferences", "LastSelectedCatg", c.lastSelected);
        FakeHost frame;
        DocumentModel model(ui, settings, &frame);
        ASSERT_TRUE(model.Open(path.string(), ""));
        EXPECT_EQ(frame.timerRestarts, c.restarts);
        EXPECT_EQ(frame.selected, c.selected);
    }
}

// ---- Save ----

TEST_F(DocumentModelTest, SaveWritesToThePathClearsModifiedAndRestartsTheTimerWhenOn) {
    profile.WriteInt("Internet Preferences", "Automatic Save Check", 1);
    const fs::path path = dir / "plain.tsf";
    AddCard(doc, kWwwSites, "mail");
    doc.SetPathName(path.string());
    doc.SetModified(true);
    ASSERT_TRUE(doc.Save());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(host.timerRestarts, 1);
    EXPECT_FALSE(IsEncryptedFile(path));
    EXPECT_EQ(CardNamesIn(path), Texts{"mail"});
    EXPECT_TRUE(ui.fileRequests.empty());
}

TEST_F(DocumentModelTest, AFailingSaveLeavesTheOldFileByteForByteAndTheDocumentModified) {
    const fs::path path = dir / "keep.tsf";
    CCard* card = AddCard(doc, kWwwSites, "mail");
    ASSERT_TRUE(doc.SaveTo(path.string()));
    const std::string before = ReadFileText(path);

    struct Case {
        const char* what;
        std::function<void()> breakIt;
        std::function<void()> mendIt;
        std::string target;
        Texts messages;
    };
    const fs::path folder = dir / "folder.tsf";
    fs::create_directory(folder);
    const Case cases[] = {
        {"encrypting without a password",
         [&] { doc.SetEncryptionPassword(""), doc.WriteNewEncryptedFile("/nonexistent/x"); },
         [&] {
             ui.encryptionAnswers.push_back(Box(false, "", ""));
             doc.EncryptOnSave();
         },
         path.string(),
         {"The encryption password is not set."}},
        {"a text too long for the file",
         [&] { card->SetNote(std::string(40000, 'n')); },
         [&] { card->SetNote(""); },
         path.string(),
         {TextTooLongMessage("mail"), "Error Writing WWW Sites"}},
        {"a folder where the file should be",
         [] {},
         [] {},
         folder.string(),
         {"Failed to save document.\ncannot write " + folder.string() + ": Is a directory"}},
        {"a folder that does not exist",
         [] {},
         [] {},
         (dir / "no" / "x.tsf").string(),
         {"Failed to save document.\ncannot create " + (dir / "no" / "x.tsf").string() +
          ": No such file or directory"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.breakIt();
        ui.shown.clear();
        doc.SetModified(true);
        EXPECT_FALSE(doc.SaveTo(c.target));
        EXPECT_EQ(ui.Texts(), c.messages);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(ReadFileText(path), before);
        EXPECT_TRUE(fs::is_directory(folder));
        EXPECT_FALSE(fs::exists(dir / "no"));
        c.mendIt();
    }
    // Nothing was left behind next to the file either.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(DocumentModelTest, AutomaticSaveClearsModifiedOnlyWhenTheSaveSucceeded) {
    AddCard(doc, kWwwSites, "mail");
    doc.SetPathName((dir / "gone" / "x.tsf").string());
    doc.SetModified(true);
    EXPECT_FALSE(doc.AutoSave());
    EXPECT_TRUE(doc.IsModified());

    doc.SetPathName((dir / "x.tsf").string());
    EXPECT_TRUE(doc.AutoSave());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(fs::exists(dir / "x.tsf"));
}

// ---- Save As ----

TEST_F(DocumentModelTest, SaveAsOffersTheTitleWithoutItsExtensionAndTheTwoFilters) {
    struct Case {
        std::string title;
        std::string initial;
    };
    const Case cases[] = {
        {"My passwords.tse", "My passwords"},
        {"old.tsf", "old"},
        {"Untitled1", "Untitled1"},
        {"notes.tsevault", "notes.tsevault"},
    };
    for (const Case& c : cases) {
        doc.SetTitle(c.title);
        ui.fileAnswers.push_back(std::nullopt);
        EXPECT_FALSE(doc.SaveAs());
        const FileDialogRequest& request = ui.fileRequests.back();
        EXPECT_EQ(request.initialName, c.initial);
        EXPECT_EQ(request.defaultExtension, "tse");
        EXPECT_EQ(request.filter,
                  "Encrypted Data (*.tse)|*.tse|Non Encrypted Data (*.tsf)|*.tsf||");
        EXPECT_TRUE(request.overwritePrompt);
    }
    // Cancel writes nothing and keeps the document's path.
    EXPECT_EQ(doc.PathName(), "");
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(fs::is_empty(dir));
    // A document with a file starts the chooser in that file's folder.
    doc.SetPathName((dir / "sub" / "vault.tse").string());
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(doc.SaveAs());
    EXPECT_EQ(ui.fileRequests.back().initialName, (dir / "sub" / "vault").string());
}

TEST_F(DocumentModelTest, SaveAsDecidesTheFormAndTheNameFromTheExtensionAndTheAnswers) {
    struct Case {
        const char* what;
        bool startEncrypted;                // under "oldpass1"
        bool keepPasswordButClearBox;       // password set, box cleared afterwards
        std::string chosen;                 // file name picked in the chooser
        std::optional<MsgAnswer> question;  // answer to "Password was not set! ..."
        std::optional<std::optional<FileEncryptionAnswer>> encryptionDialog;
        std::string written;  // file name actually written
        bool encrypted;
        std::string password;  // that opens the written file
        Texts messages;
        // The button chosen when a plain file would get a .tse name (0 encrypt it, 1 save
        // it as .tsf), and the File Encryption dialog's answer after "Encrypt it".
        std::optional<std::size_t> plainUnderTse{};
        std::optional<FileEncryptionAnswer> encryptAfterAsking{};
    };
    const std::string ask = "Password was not set! Do you want to encrypt the file?";
    const auto plainQuestion = [](const std::string& tse, const std::string& tsf) {
        return tse +
               " is the name of an encrypted file, but this document is not encrypted. "
               "Encrypt it, or save it without encryption as " +
               tsf + "?";
    };
    const Case cases[] = {
        {"plain name, flag set: encrypted under the .tsf name",
         true,
         false,
         "a.tsf",
         std::nullopt,
         std::nullopt,
         "a.tsf",
         true,
         "oldpass1",
         {}},
        {"plain name, flag clear",
         false,
         false,
         "b.tsf",
         std::nullopt,
         std::nullopt,
         "b.tsf",
         false,
         "",
         {}},
        {".tse, flag set: no question",
         true,
         false,
         "c.tse",
         std::nullopt,
         std::nullopt,
         "c.tse",
         true,
         "oldpass1",
         {}},
        {".tse, password but box cleared: no password question; saved plain as .tsf",
         false,
         true,
         "d.tse",
         std::nullopt,
         std::nullopt,
         "d.tsf",
         false,
         "",
         {plainQuestion("d.tse", "d.tsf")},
         1},
        {".tse, password but box cleared: encrypted again with the password kept",
         false,
         true,
         "d2.tse",
         std::nullopt,
         std::nullopt,
         "d2.tse",
         true,
         "oldpass1",
         {plainQuestion("d2.tse", "d2.tsf")},
         0,
         Box(true, "", "")},
        {".tse without password, No: plain under .tsf",
         false,
         false,
         "e.tse",
         MsgAnswer::No,
         std::nullopt,
         "e.tsf",
         false,
         "",
         {ask, "File will not be encrypted!"}},
        {".tse without password, Yes then Cancel: asked again, saved plain as .tsf",
         false,
         false,
         "f.tse",
         MsgAnswer::Yes,
         std::optional<FileEncryptionAnswer>(),
         "f.tsf",
         false,
         "",
         {ask, plainQuestion("f.tse", "f.tsf")},
         1},
        {".tse without password, Yes then a password",
         false,
         false,
         "g.tse",
         MsgAnswer::Yes,
         Box(true, "hunter22", "hunter22"),
         "g.tse",
         true,
         "hunter22",
         {ask}},
        {".tse without password, Yes then a short one: asked again, then encrypted",
         false,
         false,
         "h.tse",
         MsgAnswer::Yes,
         Box(true, "hunter2", "hunter2"),
         "h.tse",
         true,
         "hunter22",
         {ask, "Password to short, please use more characters!", plainQuestion("h.tse", "h.tsf")},
         0,
         Box(true, "hunter22", "hunter22")},
        {"no extension typed, the encrypted type picked: .tse, and the question",
         false,
         false,
         "i",
         MsgAnswer::Yes,
         Box(true, "hunter22", "hunter22"),
         "i.tse",
         true,
         "hunter22",
         {ask}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        FakeHost frame;
        DocumentModel model(answers, profile, &frame);
        AddCard(model, kWwwSites, "mail");
        if (c.startEncrypted || c.keepPasswordButClearBox) {
            answers.encryptionAnswers.push_back(Box(true, "oldpass1", "oldpass1"));
            model.EncryptOnSave();
        }
        if (c.keepPasswordButClearBox) {
            answers.encryptionAnswers.push_back(Box(false, "", ""));
            model.EncryptOnSave();
        }
        ScriptSaveAs(answers, c.chosen, c.question, c.encryptionDialog);
        if (c.plainUnderTse)
            answers.buttonAnswers.push_back(*c.plainUnderTse);
        if (c.encryptAfterAsking)
            answers.encryptionAnswers.push_back(*c.encryptAfterAsking);

        EXPECT_TRUE(model.SaveAs());
        EXPECT_EQ(answers.Texts(), c.messages);
        // Yes to encrypting, and "Encrypt it", open the dialog ticked.
        if (c.question == MsgAnswer::Yes || c.plainUnderTse == 0u) {
            ASSERT_FALSE(answers.encryptionStarts.empty());
            EXPECT_TRUE(answers.encryptionStarts.back().encryptOnSave);
        }
        const fs::path written = dir / c.written;
        ASSERT_TRUE(fs::exists(written));
        if (c.written != c.chosen) {
            EXPECT_FALSE(fs::exists(dir / c.chosen));
        }
        EXPECT_EQ(IsEncryptedFile(written), c.encrypted);
        EXPECT_EQ(CardNamesIn(written, c.password), Texts{"mail"});
        EXPECT_EQ(model.PathName(), written.string());
        EXPECT_EQ(model.Title(), c.written);
        EXPECT_EQ(frame.recent, Texts{written.string()});
        EXPECT_FALSE(model.IsModified());
        if (c.question == MsgAnswer::No) {
            EXPECT_EQ(answers.shown[0].icon, MsgIcon::Question);
            EXPECT_EQ(answers.shown[0].buttons, MsgButtons::YesNo);
            EXPECT_EQ(answers.captionTexts[1], "File Encryption");
            EXPECT_EQ(answers.shown[1].icon, MsgIcon::Warning);
        }
        fs::remove(written);
    }
}

TEST_F(DocumentModelTest, AFailedSaveAsLeavesPathTitleRecentFilesAndStateAsTheyWere) {
    struct Case {
        const char* what;
        std::string chosen;  // relative to dir
        std::optional<MsgAnswer> question;
        std::optional<std::optional<FileEncryptionAnswer>> encryptionDialog;
        Texts messages;
    };
    const std::string missing = (dir / "missing" / "x.tsf").string();
    const std::string missingTse = (dir / "missing" / "y.tse").string();
    const Case cases[] = {
        {"a folder that does not exist",
         "missing/x.tsf",
         std::nullopt,
         std::nullopt,
         {"Failed to save document.\ncannot create " + missing + ": No such file or directory"}},
        {"encryption switched on by the question, then the save failed",
         "missing/y.tse",
         MsgAnswer::Yes,
         Box(true, "hunter22", "hunter22"),
         {"Password was not set! Do you want to encrypt the file?",
          "Failed to save document.\ncannot create " + missingTse + ": No such file or directory"}},
    };
    const fs::path own = dir / "own.tsf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        FakeHost frame;
        DocumentModel model(answers, profile, &frame);
        AddCard(model, kWwwSites, "mail");
        ASSERT_TRUE(model.SaveTo(own.string()));
        model.SetPathName(own.string());
        AddCard(model, kWwwSites, "new");
        model.SetModified(true);
        frame.recent.clear();
        const std::string before = ReadFileText(own);

        ScriptSaveAs(answers, c.chosen, c.question, c.encryptionDialog);
        EXPECT_FALSE(model.SaveAs());
        EXPECT_EQ(answers.Texts(), c.messages);
        // Title, next Save, close question and recent files all still mean the old file.
        EXPECT_EQ(model.PathName(), own.string());
        EXPECT_EQ(model.Title(), "own.tsf");
        EXPECT_TRUE(frame.recent.empty());
        EXPECT_TRUE(model.IsModified());
        EXPECT_EQ(model.EncryptionState(), 0);
        EXPECT_EQ(model.CipherState().encryptionPassword, "");
        EXPECT_EQ(ReadFileText(own), before);
        // ... and the next Save writes it, plain, without asking.
        ASSERT_TRUE(model.Save());
        EXPECT_EQ(CardNamesIn(own), (Texts{"mail", "new"}));
    }
}

TEST_F(DocumentModelTest, SaveAsTheTypePickedDecidesAMissingExtensionAndEveryReplacementIsAsked) {
    struct Case {
        const char* what;
        std::string typed;
        int filterIndex;                 // 0 encrypted, 1 not encrypted
        std::vector<MsgAnswer> answers;  // to the questions, in order
        Texts messages;
        std::string written;  // "" = nothing written
    };
    const std::string ask = "Password was not set! Do you want to encrypt the file?";
    const std::string notEncrypted = "File will not be encrypted!";
    const Case cases[] = {
        {"no extension, not-encrypted type: .tsf without the question", "k", 1, {}, {}, "k.tsf"},
        {"no extension, not-encrypted type, the .tsf exists: asked, Yes",
         "old",
         1,
         {MsgAnswer::Yes},
         {"old.tsf already exists.\nDo you want to replace it?"},
         "old.tsf"},
        {"no extension, not-encrypted type, the .tsf exists: asked, No",
         "old",
         1,
         {MsgAnswer::No},
         {"old.tsf already exists.\nDo you want to replace it?"},
         ""},
        {".tse, not encrypted: the .tsf that exists is asked about, Yes",
         "old.tse",
         0,
         {MsgAnswer::No, MsgAnswer::Yes},
         {ask, notEncrypted, "old.tsf already exists.\nDo you want to replace it?"},
         "old.tsf"},
        {".tse, not encrypted: the .tsf that exists is asked about, No",
         "old.tse",
         0,
         {MsgAnswer::No, MsgAnswer::No},
         {ask, notEncrypted, "old.tsf already exists.\nDo you want to replace it?"},
         ""},
        {"no extension, encrypted type, not encrypted: .tse becomes a new .tsf",
         "fresh",
         0,
         {MsgAnswer::No},
         {ask, notEncrypted},
         "fresh.tsf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        fs::create_directory(dir);
        WriteFileText(dir / "old.tsf", "someone's other file");
        ScriptedAnswers answers;
        FakeHost frame;
        DocumentModel model(answers, profile, &frame);
        AddCard(model, kWwwSites, "mail");
        model.SetModified(true);
        answers.fileAnswers.push_back(FileDialogAnswer{(dir / c.typed).string(), c.filterIndex});
        for (MsgAnswer a : c.answers)
            answers.messageAnswers.push_back(a);

        EXPECT_EQ(model.SaveAs(), !c.written.empty());
        EXPECT_EQ(answers.Texts(), c.messages);
        if (c.written.empty()) {
            EXPECT_EQ(ReadFileText(dir / "old.tsf"), "someone's other file");
            EXPECT_EQ(model.PathName(), "");
            EXPECT_TRUE(model.IsModified());
        } else {
            EXPECT_EQ(CardNamesIn(dir / c.written), Texts{"mail"});
            EXPECT_FALSE(IsEncryptedFile(dir / c.written));
            EXPECT_EQ(model.PathName(), (dir / c.written).string());
        }
        // Only the file named was written: no .tse, no name without extension.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
                  c.written.empty() || c.written == "old.tsf" ? 1 : 2);
    }
}

TEST_F(DocumentModelTest, SaveWithoutAPathRunsSaveAs) {
    AddCard(doc, kWwwSites, "mail");
    ui.fileAnswers.push_back(FileDialogAnswer{(dir / "new.tsf").string(), 1});
    EXPECT_TRUE(doc.Save());
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(doc.PathName(), (dir / "new.tsf").string());
    EXPECT_EQ(CardNamesIn(dir / "new.tsf"), Texts{"mail"});
}

// ---- Files read only in part ----

// A plain file of three cards whose second record's length byte is damaged: only the
// first card can be read.
std::string DamagedFile() {
    CCardCollection cards;
    for (const char* name : {"first", "second", "third"}) {
        CCard card;
        card.SetCategory(kWwwSites);
        card.SetName(name);
        cards.AddCardToCategory(kWwwSites, cards.Adopt(std::move(card)));
    }
    FileCipherState state;
    ScriptedAnswers quiet;
    const std::vector<std::uint8_t> bytes = BuildDataFileWithUser(cards, state, quiet).value();
    std::string file(bytes.begin(), bytes.end());
    file[22 + 29 + 5 + 20] = '\xff';  // L of "second"
    return file;
}

TEST_F(DocumentModelTest, AFileReadInPartOpensReadOnlyAndIsNeverWrittenOver) {
    const fs::path damaged = dir / "damaged.tsf";
    const std::string bytes = DamagedFile();
    WriteFileText(damaged, bytes);

    ASSERT_TRUE(doc.Open(damaged.string(), ""));
    EXPECT_EQ(ui.Texts(), Texts{"Only 1 of the cards in damaged.tsf could be read; the rest of the "
                                "file is damaged. The file is opened read-only; use Save As to "
                                "keep what was read."});
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Warning);
    EXPECT_TRUE(doc.IsReadOnly());
    EXPECT_EQ(doc.CardsRead(), 1u);
    EXPECT_EQ(doc.PathName(), damaged.string());
    ui.shown.clear();

    // The automatic save passes over it: no chooser, nothing written, still modified.
    doc.SetModified(true);
    EXPECT_TRUE(doc.AutoSave());
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadFileText(damaged), bytes);

    // Save and the close question's Yes both become Save As; cancelling it writes nothing.
    const std::function<bool()> saves[] = {
        [&] { return doc.Save(); },
        [&] {
            ui.messageAnswers.push_back(MsgAnswer::Yes);
            return doc.SaveModified();
        },
    };
    for (const auto& save : saves) {
        doc.SetModified(true);
        ui.fileAnswers.push_back(std::nullopt);
        EXPECT_FALSE(save());
        EXPECT_EQ(ui.fileRequests.size(), 1u);
        EXPECT_EQ(ui.fileRequests.back().initialName, (dir / "damaged").string());
        ui.fileRequests.clear();
        EXPECT_EQ(ReadFileText(damaged), bytes);
    }
    // Save As onto the damaged file itself is refused.
    ui.shown.clear();
    ui.fileAnswers.push_back(FileDialogAnswer{damaged.string(), 1});
    EXPECT_FALSE(doc.SaveAs());
    EXPECT_EQ(ui.Texts(), Texts{"damaged.tsf could be read only in part, so it is not replaced. "
                                "Choose another name to keep what was read."});
    EXPECT_EQ(ReadFileText(damaged), bytes);
    EXPECT_TRUE(doc.IsReadOnly());

    // Save As under another name keeps what was read; that file is the document's now.
    const fs::path kept = dir / "kept.tsf";
    ui.fileAnswers.push_back(FileDialogAnswer{kept.string(), 1});
    ASSERT_TRUE(doc.SaveAs());
    EXPECT_EQ(CardNamesIn(kept), Texts{"first"});
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_EQ(doc.PathName(), kept.string());
    AddCard(doc, kWwwSites, "added");
    doc.SetModified(true);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(CardNamesIn(kept), (Texts{"first", "added"}));
    EXPECT_EQ(ReadFileText(damaged), bytes);
}

TEST_F(DocumentModelTest, AWholeFileOpensWritableAndQuietlyWhenAsked) {
    const fs::path damaged = dir / "damaged.tsf";
    WriteFileText(damaged, DamagedFile());
    DocumentModel printing(ui, profile, nullptr);
    ASSERT_TRUE(printing.Open(damaged.string(), "", DocumentModel::DamageNotice::Quiet));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(printing.IsReadOnly());

    AddCard(doc, kWwwSites, "mail");
    ASSERT_TRUE(doc.SaveTo((dir / "whole.tsf").string()));
    DocumentModel whole(ui, profile, nullptr);
    ASSERT_TRUE(whole.Open((dir / "whole.tsf").string(), ""));
    EXPECT_FALSE(whole.IsReadOnly());
    EXPECT_TRUE(ui.shown.empty());
}

// ---- Another program changed the file ----

TEST_F(DocumentModelTest, AFileChangedBehindTheDocumentsBackIsReplacedOnlyWhenTheUserSaysSo) {
    struct Case {
        MsgAnswer answer;
        bool saved;
        Texts onDisk;     // a.tsf afterwards
        Texts elsewhere;  // mine.tsf afterwards, when No offered Save As
    };
    const Case cases[] = {
        {MsgAnswer::Yes, true, {"mail", "mine"}, {}},
        {MsgAnswer::No, true, {"mail", "theirs"}, {"mail", "mine"}},
        {MsgAnswer::Cancel, false, {"mail", "theirs"}, {}},
    };
    const fs::path path = dir / "a.tsf";
    for (const Case& c : cases) {
        fs::remove(dir / "mine.tsf");
        ScriptedAnswers answers;
        FakeHost frame;
        ASSERT_TRUE(WriteOneCardFile(path));
        DocumentModel model(answers, profile, &frame);
        ASSERT_TRUE(model.Open(path.string(), ""));
        {
            // Another program adds a card and saves.
            DocumentModel other(answers, profile, nullptr);
            ASSERT_TRUE(other.Open(path.string(), ""));
            AddCard(other, kWwwSites, "theirs");
            ASSERT_TRUE(other.Save());
        }
        AddCard(model, kWwwSites, "mine");
        model.SetModified(true);
        answers.messageAnswers.push_back(c.answer);
        if (c.answer == MsgAnswer::No)
            answers.fileAnswers.push_back(FileDialogAnswer{(dir / "mine.tsf").string(), 1});

        EXPECT_EQ(model.Save(), c.saved);
        ASSERT_EQ(answers.shown.size(), 1u);
        EXPECT_EQ(answers.shown[0].text,
                  "a.tsf was changed by another program since it was opened. Replace it with "
                  "your version?");
        EXPECT_EQ(answers.shown[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(CardNamesIn(path), c.onDisk);
        EXPECT_EQ(model.IsModified(), !c.saved);
        if (!c.elsewhere.empty()) {
            EXPECT_EQ(CardNamesIn(dir / "mine.tsf"), c.elsewhere);
            EXPECT_EQ(model.PathName(), (dir / "mine.tsf").string());
        } else {
            EXPECT_EQ(model.PathName(), path.string());
        }
        // What the document wrote is what it knows: the next save asks nothing.
        if (c.saved) {
            model.SetModified(true);
            EXPECT_TRUE(model.Save());
            EXPECT_EQ(answers.shown.size(), 1u);
        }
    }
}

TEST_F(DocumentModelTest, OnlyChangedBytesCountAsAChangeNotATouchedTime) {
    const fs::path path = dir / "a.tsf";
    ASSERT_TRUE(SaveOneCardAs(path));
    // The same bytes written again by someone else, later.
    const std::string bytes = ReadFileText(path);
    fs::remove(path);
    WriteFileText(path, bytes);
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::hours(1));
    doc.SetModified(true);
    EXPECT_TRUE(doc.Save());
    EXPECT_TRUE(ui.shown.empty());
    // A file that was removed is simply written again.
    fs::remove(path);
    doc.SetModified(true);
    EXPECT_TRUE(doc.Save());
    EXPECT_EQ(CardNamesIn(path), Texts{"mail"});
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocumentModelTest, AutomaticSaveNeverWritesAPlainFileUnderATseNameAndSaysSoOnce) {
    const fs::path path = dir / "a.tse";
    WriteFileText(path, "");  // an empty file: it opens as a plain document
    ui.ClearShown();
    ASSERT_TRUE(doc.Open(path.string(), ""));
    ui.ClearShown();
    AddCard(doc, kWwwSites, "mine");
    doc.SetModified(true);

    EXPECT_FALSE(doc.AutoSave());
    EXPECT_FALSE(doc.AutoSave());
    EXPECT_TRUE(ui.shown.empty());  // nothing asked
    EXPECT_EQ(host.statusTexts,
              Texts{"a.tse is not encrypted; automatic save does not write it under an "
                    "encrypted file's name. Save it to encrypt it or to save it as a.tsf."});
    EXPECT_EQ(ReadFileText(path), "");
    EXPECT_TRUE(doc.IsModified());

    // The user decides with Save: encrypted, and automatic saves go on.
    ui.buttonAnswers.push_back(0);
    ui.encryptionAnswers.push_back(Box(true, "hunter22", "hunter22"));
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ui.buttonLists.back(), (Texts{"Encrypt it", "Save as a.tsf", "Cancel"}));
    EXPECT_EQ(ui.defaultButtons.back(), 0u);
    EXPECT_TRUE(IsEncryptedFile(path));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    AddCard(doc, kWwwSites, "later");
    doc.SetModified(true);
    EXPECT_TRUE(doc.AutoSave());
    EXPECT_EQ(CardNamesIn(path, "hunter22"), (Texts{"mine", "later"}));
    EXPECT_EQ(host.statusTexts.size(), 1u);
}

TEST_F(DocumentModelTest, AutomaticSaveNeverReplacesAChangedFileAndSaysSoOnceInTheStatusBar) {
    const fs::path path = dir / "a.tsf";
    ASSERT_TRUE(SaveOneCardAs(path));
    WriteFileText(path, "changed by someone else");
    AddCard(doc, kWwwSites, "mine");
    doc.SetModified(true);

    EXPECT_FALSE(doc.AutoSave());
    EXPECT_FALSE(doc.AutoSave());
    EXPECT_TRUE(ui.shown.empty());  // nothing asked
    EXPECT_EQ(host.statusTexts,
              Texts{"a.tsf was changed by another program; automatic save did not replace it."});
    EXPECT_EQ(ReadFileText(path), "changed by someone else");
    EXPECT_TRUE(doc.IsModified());

    // The user decides with Save; afterwards automatic saves go on as before.
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    ASSERT_TRUE(doc.Save());
    AddCard(doc, kWwwSites, "later");
    doc.SetModified(true);
    EXPECT_TRUE(doc.AutoSave());
    EXPECT_EQ(CardNamesIn(path), (Texts{"mail", "mine", "later"}));
    EXPECT_EQ(host.statusTexts.size(), 1u);
}

TEST_F(DocumentModelTest, ASaveWhileAnotherProgramHoldsTheFileWaitsThenFailsAndChangesNothing) {
    const fs::path path = dir / "a.tsf";
    ASSERT_TRUE(SaveOneCardAs(path));
    const std::string before = ReadFileText(path);
    std::optional<DataFileLock> other = DataFileLock::Acquire(path.string());
    ASSERT_TRUE(other && other->Held());

    AddCard(doc, kWwwSites, "mine");
    doc.SetModified(true);
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(ui.Texts(), Texts{"a.tsf is being changed by another program; try again."});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadFileText(path), before);

    other.reset();
    ui.shown.clear();
    EXPECT_TRUE(doc.Save());
    EXPECT_EQ(CardNamesIn(path), (Texts{"mail", "mine"}));
}

// While the user decides whether to replace a file another program changed, no lock is
// held: other writers save meanwhile. If one did, the answer was about a version that is
// gone, so the question comes again; only a Yes to the version on disk replaces it.
TEST_F(DocumentModelTest, TheReplaceQuestionHoldsNoLockAndComesAgainWhenTheFileChangedMeanwhile) {
    // The scripted user, who lets another program save while the first question is open.
    struct AnswersWhileAnotherSaves : ScriptedAnswers {
        std::function<void()> duringFirstQuestion;
        MsgAnswer Message(const MessageRequest& message) override {
            if (message.buttons != MsgButtons::Ok && duringFirstQuestion)
                std::exchange(duringFirstQuestion, {})();
            return ScriptedAnswers::Message(message);
        }
    };
    struct Case {
        MsgAnswer second;  // to the question about the file saved meanwhile
        bool saved;
        Texts onDisk;
    };
    const Case cases[] = {
        {MsgAnswer::Yes, true, {"mail", "mine"}},
        {MsgAnswer::Cancel, false, {"mail", "theirs", "later"}},
    };
    const fs::path path = dir / "a.tsf";
    auto anotherProgramAdds = [&](const std::string& name) {
        ScriptedAnswers quiet;
        DocumentModel other(quiet, profile, nullptr);
        EXPECT_TRUE(other.Open(path.string(), ""));
        AddCard(other, kWwwSites, name);
        EXPECT_TRUE(other.Save()) << name;
        EXPECT_TRUE(quiet.shown.empty()) << name;
    };
    for (const Case& c : cases) {
        AnswersWhileAnotherSaves answers;
        ASSERT_TRUE(WriteOneCardFile(path));
        DocumentModel model(answers, profile, nullptr);
        ASSERT_TRUE(model.Open(path.string(), ""));
        anotherProgramAdds("theirs");
        AddCard(model, kWwwSites, "mine");
        model.SetModified(true);
        answers.duringFirstQuestion = [&] { anotherProgramAdds("later"); };
        answers.messageAnswers = {MsgAnswer::Yes, c.second};

        EXPECT_EQ(model.Save(), c.saved);
        const std::string question =
            "a.tsf was changed by another program since it was opened. Replace it with your "
            "version?";
        EXPECT_EQ(answers.Texts(), (Texts{question, question}));
        EXPECT_EQ(CardNamesIn(path), c.onDisk);
        EXPECT_EQ(model.IsModified(), !c.saved);
    }
}

// A document too large for the readers to open again is not written, in any layout: the
// message says the limit and the size, and the file on disk stays as it was.
TEST_F(DocumentModelTest, AFileLargerThanTheReadersAcceptIsNeverWritten) {
    const fs::path path = dir / "big.tsf";
    ASSERT_TRUE(WriteOneCardFile(path));
    ASSERT_TRUE(doc.Open(path.string(), ""));
    const std::string before = ReadFileText(path);
    // Records of 24 + 5 + 32,766 bytes: 8,193 of them are just over the limit.
    const std::string note(kMaxTextLength, 'n');
    std::uint64_t records = 24 + 5 + 4 + 2;  // "mail", password "pw"
    for (int i = 0; i < 8192; ++i) {
        CCard* card = AddCard(doc, kMiscellaneous, "", "");
        card->SetNote(note);
        records += 24 + 5 + note.size();
    }
    doc.SetModified(true);
    ASSERT_FALSE(ReadableFileSize(kHeaderSize + records));

    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(ui.Texts(), Texts{TooLargeToReadMessage(kHeaderSize + records)});
    // Sealed, the payload with the header, the seal's tag and the hash.
    ui.ClearShown();
    ui.encryptionAnswers.push_back(Box(true, "long enough", "long enough"));
    doc.EncryptOnSave();
    ASSERT_EQ(doc.Layout(), FileLayout::Sealed);
    EXPECT_FALSE(doc.Save());
    const std::uint64_t payload =
        EncodePayload(doc.Cards(),
                      PayloadSettings{doc.CipherState().revision, doc.CipherState().headerValue18},
                      0)
            .size();
    EXPECT_EQ(ui.Texts(), Texts{TooLargeToReadMessage(kSealedHeaderSize + payload + kSealTagSize +
                                                      kSealed2TrailerSize)});
    EXPECT_EQ(ReadFileText(path), before);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// ---- Encrypt On Save ----

TEST_F(DocumentModelTest, EncryptOnSaveAppliesTheNewPasswordRulesAndNeverDowngradesSilently) {
    struct Case {
        const char* what;
        bool startEncrypted;  // under "oldpass1"
        std::optional<FileEncryptionAnswer> answer;
        Texts messages;
        int flag;
        std::string password;
        bool modified;
    };
    const Case cases[] = {
        {"plain, entries differ",
         false,
         Box(true, "hunter22", "hunter23"),
         {"Password not correct, try again!"},
         0,
         "",
         false},
        {"plain, entries differ in case only",
         false,
         Box(true, "Hunter22", "hunter22"),
         {"Password not correct, try again!"},
         0,
         "",
         false},
        {"plain, 7 characters",
         false,
         Box(true, "hunter2", "hunter2"),
         {"Password to short, please use more characters!"},
         0,
         "",
         false},
        {"plain, 8 characters", false, Box(true, "hunter22", "hunter22"), {}, 1, "hunter22", true},
        {"plain, box left clear", false, Box(false, "", ""), {}, 0, "", true},
        {"plain, Cancel", false, std::nullopt, {}, 0, "", false},
        {"plain, box ticked, no password",
         false,
         Box(true, "", ""),
         {"Enter a password in both fields, or clear Encrypt On Save to save without "
          "encryption."},
         0,
         "",
         false},
        {"encrypted, both left empty: password kept",
         true,
         Box(true, "", ""),
         {},
         1,
         "oldpass1",
         false},
        {"encrypted, only the second entry typed",
         true,
         Box(true, "", "newpass1"),
         {"Password not correct, try again!"},
         1,
         "oldpass1",
         false},
        {"encrypted, entries differ: old password kept",
         true,
         Box(true, "newpass1", "newpass2"),
         {"Password not correct, try again!"},
         1,
         "oldpass1",
         false},
        {"encrypted, too short: old password kept",
         true,
         Box(true, "short", "short"),
         {"Password to short, please use more characters!"},
         1,
         "oldpass1",
         false},
        {"encrypted, new password",
         true,
         Box(true, "newpass1", "newpass1"),
         {},
         1,
         "newpass1",
         true},
        {"encrypted, box cleared: password stays",
         true,
         Box(false, "", ""),
         {},
         0,
         "oldpass1",
         true},
        {"encrypted, Cancel", true, std::nullopt, {}, 1, "oldpass1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        FakeHost frame;
        DocumentModel model(answers, profile, &frame);
        if (c.startEncrypted) {
            answers.encryptionAnswers.push_back(Box(true, "oldpass1", "oldpass1"));
            model.EncryptOnSave();
            model.SetModified(false);
        }
        answers.encryptionAnswers.push_back(c.answer);
        model.EncryptOnSave();

        // The dialog starts with the box as the flag; its entries start empty, and it is
        // told whether empty entries keep a password.
        const FileEncryptionStart& start = answers.encryptionStarts.back();
        EXPECT_EQ(start.encryptOnSave, c.startEncrypted);
        EXPECT_EQ(start.hasPassword, c.startEncrypted);

        EXPECT_EQ(answers.Texts(), c.messages);
        for (const MessageRequest& m : answers.shown)
            EXPECT_EQ(m.caption, MsgCaption::Application);
        EXPECT_EQ(model.EncryptionState(), c.flag);
        EXPECT_EQ(model.CipherState().encryptionPassword, c.password);
        EXPECT_EQ(model.IsModified(), c.modified);
        EXPECT_EQ(frame.encryptionShown, c.startEncrypted ? 2 : 1);
    }
}

TEST_F(DocumentModelTest, RefusedEntriesOnAPlainDocumentLeaveTheNextSavePlain) {
    AddCard(doc, kWwwSites, "mail");
    ui.encryptionAnswers.push_back(Box(true, "hunter22", "Hunter22"));
    doc.EncryptOnSave();
    ASSERT_TRUE(doc.SaveTo((dir / "x.tsf").string()));
    EXPECT_FALSE(IsEncryptedFile(dir / "x.tsf"));
    EXPECT_EQ(ui.Texts(), Texts{"Password not correct, try again!"});
}

// ---- Closing and asking to save ----

TEST_F(DocumentModelTest, ClosingRemembersTheShownCategoryAndDropsSearchResults) {
    struct Case {
        std::string shown;
        std::string stored;
    };
    const Case cases[] = {
        {"Search Results", "Search Results"},
        {"Credit Cards", "Credit Cards"},
        {"", "before"},  // an empty selector text is not stored
    };
    for (const Case& c : cases) {
        profile.WriteText("General Preferences", "LastSelectedCatg", "before");
        FakeHost frame;
        frame.categoryText = c.shown;
        DocumentModel model(ui, profile, &frame);
        model.Close();
        EXPECT_EQ(profile.GetText("General Preferences", "LastSelectedCatg", ""), c.stored);
        EXPECT_EQ(frame.searchResultsRemoved, 1);
    }
    DocumentModel frameless(ui, profile, nullptr);
    frameless.Close();
    EXPECT_EQ(profile.GetText("General Preferences", "LastSelectedCatg", ""), "before");
}

TEST_F(DocumentModelTest, SaveModifiedAsksWithThePathAndStopsClosingOnCancelOrAFailedSave) {
    struct Case {
        std::string path;  // relative to dir; "" = untitled
        std::optional<MsgAnswer> answer;
        bool result;
        bool savedFile;
    };
    const Case cases[] = {
        {"a.tsf", MsgAnswer::Yes, true, true},
        {"b.tsf", MsgAnswer::No, true, false},
        {"c.tsf", MsgAnswer::Cancel, false, false},
        {"gone/d.tsf", MsgAnswer::Yes, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ScriptedAnswers answers;
        DocumentModel model(answers, profile, &host);
        AddCard(model, kWwwSites, "mail");
        const fs::path path = dir / c.path;
        model.SetPathName(path.string());
        model.SetModified(true);
        answers.messageAnswers.push_back(*c.answer);
        EXPECT_EQ(model.SaveModified(), c.result);
        ASSERT_FALSE(answers.shown.empty());
        EXPECT_EQ(answers.shown[0].text, "Save changes to " + path.string() + "?");
        EXPECT_EQ(answers.shown[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(fs::exists(path), c.savedFile);
        EXPECT_EQ(model.IsModified(), !c.savedFile);
    }
    // An unchanged document closes without a question.
    ScriptedAnswers quiet;
    DocumentModel unchanged(quiet, profile, &host);
    EXPECT_TRUE(unchanged.SaveModified());
    EXPECT_TRUE(quiet.shown.empty());
}

TEST_F(DocumentModelTest, SaveModifiedOfAnUntitledDocumentNamesItsTitle) {
    doc.SetTitle("Untitled2");
    doc.SetModified(true);
    ui.messageAnswers.push_back(MsgAnswer::No);
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(ui.Texts(), Texts{"Save changes to Untitled2?"});
}

// ---- Command states and the handheld file ----

TEST_F(DocumentModelTest, CommandsNeedAtLeastOneStoredCardDeletedOnesIncluded) {
    EXPECT_FALSE(doc.HasStoredCards());
    CCard* card = AddCard(doc, kWwwSites, "mail");
    EXPECT_TRUE(doc.HasStoredCards());
    doc.Cards().DeleteCard(card);
    EXPECT_EQ(doc.Cards().LiveCardCount(), 0);
    EXPECT_TRUE(doc.HasStoredCards());
}

TEST_F(DocumentModelTest, WriteNewEncryptedFileWritesUnderTheSetPasswordAndKeepsEncrypting) {
    const fs::path path = dir / "My passwords.tse";
    WriteFileText(path, "");
    doc.SetTitle(path.string());
    doc.SetEncryptionPassword("palmpass");
    ASSERT_TRUE(doc.WriteNewEncryptedFile(path.string()));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(doc.EncryptionState(), 1);
    EXPECT_TRUE(IsEncryptedFile(path));
    EXPECT_EQ(CardNamesIn(path, "palmpass"), Texts{});
    EXPECT_EQ(CardNamesIn(path, "palmpasS"), std::nullopt);
}

TEST_F(DocumentModelTest, WriteNewEncryptedFileWithoutAPasswordLeavesTheFileAlone) {
    const fs::path path = dir / "My passwords.tse";
    WriteFileText(path, "");
    EXPECT_FALSE(doc.WriteNewEncryptedFile(path.string()));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(DocumentPathNames, ExtensionsAreTakenFromTheFileNameOnly) {
    struct Case {
        std::string path, ext, asTsf;
    };
    const Case cases[] = {
        {"/a/b.tse", "tse", "/a/b.tsf"},
        {"/a.d/b", "", "/a.d/b.tsf"},
        {"/a/b.TSE", "TSE", "/a/b.tsf"},
        {"b.x.tse", "tse", "b.x.tsf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtensionOf(c.path), c.ext);
        EXPECT_EQ(WithExtension(c.path, "tsf"), c.asTsf);
    }
}

}  // namespace
}  // namespace tessaline
