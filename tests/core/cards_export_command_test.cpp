#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cards/card_collection.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"
#include "views/export_command.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardSpec;
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
    AddCard(cards,
            CardSpec{.code = kOnlineBanking, .name = "b", .password = "secret", .note = "a\r\nb"});
    const auto path = dir / "out.txt";
    ui.fileAnswers.push_back(FileDialogAnswer{path.string(), 0});
    EXPECT_TRUE(ExportToTextCommand(cards, "mine.tse", ui));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const FileDialogRequest& r = ui.fileRequests[0];
    EXPECT_EQ(r.title, "Save Data File As Text [ Tab Delimited ]");
    EXPECT_EQ(r.defaultExtension, "txt");
    EXPECT_EQ(r.initialName, "mine.tse");
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
