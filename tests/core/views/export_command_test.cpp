#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/views/export_command.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;
using testing::ScriptedAnswers;

class CardsExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir =
            std::filesystem::temp_directory_path() / ("cards_export_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::filesystem::path dir;
    CCardCollection cards;
    ScriptedAnswers ui;
};

TEST_F(CardsExportCommand, WritesTheCardsOwnerOnly) {
    AddCard(
        cards,
        CardFields{.code = kOnlineBanking, .name = "b", .password = "secret", .note = "a\r\nb"});
    const auto path = dir / "out.txt";
    ui.fileAnswers.push_back(FileDialogAnswer{path.string(), 0});
    EXPECT_TRUE(ExportToTextCommand(cards, "mine.tse", ui));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const FileDialogRequest& r = ui.fileRequests[0];
    EXPECT_EQ(r.title, "Save Data File As Text [ Tab Delimited ]");
    EXPECT_EQ(r.defaultExtension, "txt");
    EXPECT_EQ(r.initialName, "mine.txt");
    EXPECT_EQ(r.filter.rfind("Text File (*.txt)", 0), 0u);
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(Read(path), "4\tb\t\t\tsecret\ta  b\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CardsExportCommand, CancelWritesNothing) {
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(ExportToTextCommand(cards, "t", ui));
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(CardsExportCommand, FailureNamesTheFile) {
    const auto path = dir / "missing" / "out.txt";
    ui.fileAnswers.push_back(FileDialogAnswer{path.string(), 0});
    EXPECT_FALSE(ExportToTextCommand(cards, "t", ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(path.string()), std::string::npos);
    EXPECT_EQ(ExportErrorMessage(EACCES, "/x"), "Access to /x was denied.");
    EXPECT_EQ(ExportErrorMessage(ENOSPC, "/x"), "Disk full while accessing /x.");
}

TEST_F(CardsExportCommand, ProposesTheDocumentsNameWithTxt) {
    struct Case {
        std::string title, proposed;
    };
    for (const Case& c : {Case{"passwords.tse", "passwords.txt"}, Case{"old.tsf", "old.txt"},
                          Case{"Untitled", "Untitled.txt"}, Case{"my.cards.tse", "my.cards.txt"}}) {
        EXPECT_EQ(TextExportName(c.title), c.proposed);
    }
}

// The clear text never replaces a data file or the file of an open document: the user is
// told why and chooses again. A name typed without extension gets ".txt".
TEST_F(CardsExportCommand, NeverWritesOverADataFileOrAnOpenDocument) {
    AddCard(cards, CardFields{.code = kWwwSites, .name = "site", .password = "secret"});
    CCardCollection empty;
    auto dataFile = [&](const std::string& name, const std::string& password) {
        FileCipherState state;
        state.encryptOnSave = !password.empty();
        state.encryptionPassword = password;
        ScriptedAnswers quiet;
        const auto bytes = BuildDataFileWithUser(empty, state, quiet).value();
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return Read(dir / name);
    };
    const std::string plain = dataFile("cards.tsf", "");
    const std::string encrypted = dataFile("passwords.tse", "longenough");
    // An older layout, named like a text file.
    std::ofstream(dir / "old.txt", std::ios::binary)
        << "NTENCRYPTVersion1.002" << std::string(20, '\0');
    const std::string old = Read(dir / "old.txt");
    std::ofstream(dir / "open.txt") << "the open document's file, not yet a data file";

    struct Case {
        const char* what;
        std::string chosen;
        std::string refused;  // the message, "" when the export is written
        std::string written;  // where the export lands
    };
    const Case cases[] = {
        {"an encrypted data file", "passwords.tse",
         "passwords.tse is a Tessaline data file; the export does not replace it. Choose another "
         "name.",
         ""},
        {"a plain data file", "cards.tsf",
         "cards.tsf is a Tessaline data file; the export does not replace it. Choose another "
         "name.",
         ""},
        {"an old-format data file", "old.txt",
         "old.txt is a Tessaline data file; the export does not replace it. Choose another name.",
         ""},
        {"an open document's file", "open.txt",
         "open.txt is open in Tessaline; the export does not replace it. Choose another name.", ""},
        {"a name without extension", "export", "", "export.txt"},
        {"an ordinary name", "list.txt", "", "list.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedAnswers answers;
        answers.fileAnswers.push_back(FileDialogAnswer{(dir / c.chosen).string(), 0});
        if (!c.refused.empty())
            answers.fileAnswers.push_back(std::nullopt);  // the second chooser: Cancel
        const bool written =
            ExportToTextCommand(cards, "passwords.tse", answers, {(dir / "open.txt").string()});
        EXPECT_EQ(written, !c.written.empty());
        if (c.refused.empty()) {
            EXPECT_TRUE(answers.shown.empty());
            EXPECT_EQ(Read(dir / c.written), "0\tsite\t\t\tsecret\t\r\n");
        } else {
            ASSERT_EQ(answers.shown.size(), 1u);
            EXPECT_EQ(answers.shown[0].text, c.refused);
            // The chooser comes again, proposing a text file of that name.
            ASSERT_EQ(answers.fileRequests.size(), 2u);
            EXPECT_EQ(answers.fileRequests[1].initialName,
                      (dir / c.chosen).replace_extension(".txt").string());
        }
        EXPECT_EQ(Read(dir / "cards.tsf"), plain);
        EXPECT_EQ(Read(dir / "passwords.tse"), encrypted);
        EXPECT_EQ(Read(dir / "old.txt"), old);
        EXPECT_FALSE(std::filesystem::exists(dir / "export"));
    }
    // An empty file holds nothing to lose: it is no data file.
    std::ofstream(dir / "empty.txt").close();
    EXPECT_EQ(ExportRefusal((dir / "empty.txt").string(), {}), "");
}

TEST_F(CardsExportCommand, ATxtAddedAfterTheChooserIsAskedAboutBeforeReplacing) {
    std::ofstream(dir / "notes.txt") << "keep me";
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        ScriptedAnswers answers;
        answers.fileAnswers.push_back(FileDialogAnswer{(dir / "notes").string(), 0});
        answers.messageAnswers.push_back(answer);
        EXPECT_EQ(ExportToTextCommand(cards, "t", answers), answer == MsgAnswer::Yes);
        ASSERT_EQ(answers.shown.size(), 1u);
        EXPECT_EQ(answers.shown[0].text, "notes.txt already exists.\nDo you want to replace it?");
        EXPECT_EQ(Read(dir / "notes.txt"), answer == MsgAnswer::Yes ? "" : "keep me");
    }
}

// The chooser's second file type writes CSV, which keeps every text whole; so does a name
// ending in ".csv". A name without an extension gets the chosen type's.
TEST_F(CardsExportCommand, TheCsvFileTypeWritesCsv) {
    AddCard(cards, CardFields{.code = kWwwSites, .name = "w", .password = "a\tb"});
    struct Case {
        const char* typed;
        int filterIndex;
        const char* written;
        bool csv;
    };
    for (const Case& c :
         {Case{"plain", 0, "plain.txt", false}, Case{"moving", 1, "moving.csv", true},
          Case{"named.csv", 0, "named.csv", true}, Case{"upper.CSV", 0, "upper.CSV", true}}) {
        ScriptedAnswers answers;
        answers.fileAnswers.push_back(FileDialogAnswer{(dir / c.typed).string(), c.filterIndex});
        EXPECT_TRUE(ExportToTextCommand(cards, "mine.tse", answers)) << c.typed;
        const std::string text = Read(dir / c.written);
        EXPECT_EQ(text.starts_with("\"Group\""), c.csv) << c.typed;
        EXPECT_EQ(text.find("\"a\tb\"") != std::string::npos, c.csv) << c.typed;
        // Only the text export changed a text, and says so.
        EXPECT_EQ(answers.shown.size(), c.csv ? 0u : 1u) << c.typed;
        struct stat st {};
        ASSERT_EQ(::stat((dir / c.written).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
}

// The cards whose texts lost a tab or line break are named, ten at most.
TEST(CardsExportMessage, NamesTheChangedCards) {
    std::vector<TextExportChange> changed;
    for (int i = 0; i < 12; ++i)
        changed.push_back(TextExportChange{kCreditCards, "card " + std::to_string(i)});
    const std::string text = TextExportChangesMessage(changed, "Use CSV.");
    EXPECT_EQ(
        text.rfind("In 12 cards, a tab or line break inside a text was written as a space", 0), 0u);
    EXPECT_NE(text.find("\nCredit Cards: card 9\n... and 2 more\n\nUse CSV."), std::string::npos)
        << text;
    EXPECT_EQ(text.find("card 10"), std::string::npos);
    EXPECT_EQ(TextExportChangesMessage({TextExportChange{kWwwSites, "x"}}, "Use CSV."),
              "In 1 card, a tab or line break inside a text was written as a space, so that each "
              "text stays in its own column:\n\nWWW Sites: x\n\nUse CSV.");
}

// The export holds every password in clear: replacing a file others could read leaves a
// file only the owner can read; a file that must not be replaced says why in its own words.
TEST_F(CardsExportCommand, ReplacedFilesBecomeOwnerOnlyAndReadOnlyOnesStay) {
    AddCard(cards, CardFields{.code = kWwwSites, .name = "w", .password = "clear"});
    const auto shared = dir / "shared.txt";
    std::ofstream(shared) << "old";
    ASSERT_EQ(::chmod(shared.c_str(), 0644), 0);
    ui.fileAnswers.push_back(FileDialogAnswer{shared.string(), 0});
    EXPECT_TRUE(ExportToTextCommand(cards, "mine.tse", ui));
    EXPECT_EQ(Read(shared), "0\tw\t\t\tclear\t\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(shared.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    const auto readOnly = dir / "read-only.txt";
    std::ofstream(readOnly) << "old";
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    ui.fileAnswers.push_back(FileDialogAnswer{readOnly.string(), 0});
    EXPECT_FALSE(ExportToTextCommand(cards, "mine.tse", ui));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{readOnly.string() + " is read-only."});
    EXPECT_EQ(Read(readOnly), "old");
}

// The text in memory holds every password in clear: after the write, written or not,
// every byte of its buffer is zero and the text is empty.
TEST_F(CardsExportCommand, ExportTextIsWipedWrittenOrNot) {
    for (const auto& path : {dir / "out.txt", dir / "missing" / "out.txt"}) {
        std::string text = "4\tBank\t\tjoe\thunter22\t\r\n";
        text.reserve(200);
        const char* buffer = text.data();
        const std::size_t capacity = text.capacity();
        WriteExportAndWipe(path.string(), text);
        EXPECT_TRUE(text.empty()) << path;
        // Clearing keeps the buffer, so what it held can still be looked at.
        ASSERT_EQ(text.data(), buffer);
        EXPECT_EQ(std::string(buffer, capacity), std::string(capacity, '\0')) << path;
    }
    EXPECT_EQ(Read(dir / "out.txt"), "4\tBank\t\tjoe\thunter22\t\r\n");
}

}  // namespace
}  // namespace tessaline
