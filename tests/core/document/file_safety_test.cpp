// What the user sees when the document meets a file it must not read or replace.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "core/cards/categories.h"
#include "core/document/document_model.h"
#include "core/platform/profile.h"
#include "support/data_files.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedAnswers;

class DocumentFileSafety : public ::testing::Test {
protected:
    testing::TempFolder folder{"doc_safety"};
    fs::path dir = folder.Path();
    ScriptedAnswers ui;
    MemoryProfile profile;
};

// A read-only file is not replaced: the user is told, the file keeps its cards, and the
// document stays modified so that nothing typed is lost.
TEST_F(DocumentFileSafety, SavingOverAReadOnlyFileSaysSoAndKeepsBoth) {
    const fs::path path = dir / "mine.tsf";
    DocumentModel doc(ui, profile, nullptr);
    doc.NewDocument();
    CCard card;
    card.SetName("first");
    doc.Cards().AddCardToCategory(kWwwSites, doc.Cards().Adopt(std::move(card)));
    ASSERT_TRUE(doc.SaveTo(path.string()));
    const std::string saved = testing::ReadFileText(path);
    ASSERT_EQ(::chmod(path.c_str(), 0400), 0);

    ASSERT_TRUE(doc.Open(path.string(), ""));
    CCard second;
    second.SetName("second");
    doc.Cards().AddCardToCategory(kWwwSites, doc.Cards().Adopt(std::move(second)));
    doc.SetModified(true);
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Failed to save document.\n" + path.string() +
                                                   " is read-only."});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(testing::ReadFileText(path), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
}

// Opening something that is not a data file at all ends at once with the reason.
TEST_F(DocumentFileSafety, OpeningAPipeOrADeviceEndsAtOnceWithTheReason) {
    const fs::path pipe = dir / "pipe.tse";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe.string(), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        ScriptedAnswers answers;
        DocumentModel doc(answers, profile, nullptr);
        doc.NewDocument();
        EXPECT_FALSE(doc.Open(path, ""));
        EXPECT_EQ(answers.Texts(),
                  std::vector<std::string>{"Failed to open document.\n" + path +
                                           " is not a regular file (it is a device, a pipe or a "
                                           "socket); it was not read."});
        EXPECT_EQ(doc.PathName(), "");
    }
}

}  // namespace
}  // namespace tessaline
