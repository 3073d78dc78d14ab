// File > Import... as a user reaches it in the main window: the CSV export of another
// password manager becomes cards of the open document (or of a new one), which is then
// modified and saved only when the user saves.

#include <QTemporaryDir>
#include <QTest>

#include "core/commands/command_ids.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::ReadAll;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

namespace {

std::string Fixture(const char* name) {
    return std::string(TESSALINE_TEST_DATA) + "/csv/" + name;
}

int CardsIn(CTessalineNewDoc& doc) {
    return doc.Cards().LiveCardCount();
}

}  // namespace

class WiringImportCsvTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    // With no document open, the cards go into a new untitled one.
    void importWithoutADocumentMakesANewOne() {
        WiredFrame w;
        QVERIFY(w.Enabled(CommandId::FileImportCsv));
        w.ui.Choose(Fixture("keepassxc.csv"));
        w->OnCommand(CommandId::FileImportCsv);
        QCOMPARE(w.ui.fileRequests.size(), std::size_t{1});
        QCOMPARE(w.ui.fileRequests[0].title, std::string("Import from Another Password Manager"));
        QCOMPARE(w.ui.fileRequests[0].filter,
                 std::string("CSV Export (*.csv)|*.csv|All Files (*)|*||"));

        CTessalineNewDoc* doc = w->ActiveDocument();
        QVERIFY(doc);
        QCOMPARE(CardsIn(*doc), 4);
        QVERIFY(doc->IsModified());
        QVERIFY(doc->PathName().isEmpty());
        QCOMPARE(w.ui.Texts().back(),
                 std::string("4 cards were imported from keepassxc.csv (KeePassXC export):\n\n"
                             "WWW Sites: 1\nCredit Cards: 1\nMiscellaneous: 2\n\n"
                             "Save the file to keep them."));
        // The list shows every category the cards went to.
        QCOMPARE(w->ActiveView()->ShownCategory(), QStringLiteral("Show All"));
        QCOMPARE(w->ActiveView()->ItemCount(), 4);
    }

    // With a file open, the user says whether the cards join it or make a new file.
    void importAsksWhetherToAddToTheOpenFileOrMakeANewOne() {
        const QString path = dir_.filePath(QStringLiteral("ours.tsf"));
        QVERIFY(WriteDataFile(path, {{.code = kBankAccounts, .name = "my bank"}}));
        const QByteArray before = ReadAll(path);
        WiredFrame w;
        QVERIFY(w->OpenDocumentFile(path));
        CTessalineNewDoc* ours = w->ActiveDocument();

        // Cancel: nothing changes anywhere.
        w.ui.Choose(Fixture("firefox.csv"));
        w.ui.buttonAnswers.push_back(2);
        w->OnCommand(CommandId::FileImportCsv);
        QCOMPARE(
            w.ui.Texts().back(),
            std::string("Add the 2 cards of firefox.csv to ours.tsf, or make a new file of them?"));
        QCOMPARE(w.ui.buttonLists.back(),
                 (std::vector<std::string>{"Add to ours.tsf", "New File", "Cancel"}));
        QCOMPARE(w->Children().size(), 1);
        QCOMPARE(CardsIn(*ours), 1);
        QVERIFY(!ours->IsModified());

        // New File: a new untitled document holds them; the open file is left alone.
        w.ui.Choose(Fixture("firefox.csv"));
        w.ui.buttonAnswers.push_back(1);
        w->OnCommand(CommandId::FileImportCsv);
        QCOMPARE(w->Children().size(), 2);
        QVERIFY(w->ActiveDocument() != ours);
        QCOMPARE(CardsIn(*w->ActiveDocument()), 2);
        QVERIFY(w->ActiveDocument()->PathName().isEmpty());
        QCOMPARE(CardsIn(*ours), 1);
        QVERIFY(!ours->IsModified());
        QCOMPARE(ReadAll(path), before);
    }

    // Added to the open document, the cards reach its file when it is saved.
    void importAddsToTheOpenDocumentUntilSaved() {
        const QString path = dir_.filePath(QStringLiteral("mine.tsf"));
        QVERIFY(WriteDataFile(path, {{.code = kBankAccounts, .name = "my bank"}}));
        const QByteArray before = ReadAll(path);

        WiredFrame w;
        QVERIFY(w->OpenDocumentFile(path));
        w.ui.Choose(Fixture("firefox.csv"));
        w.ui.buttonAnswers.push_back(0);  // "Add to mine.tsf"
        w->OnCommand(CommandId::FileImportCsv);
        QCOMPARE(w->Children().size(), 1);
        CTessalineNewDoc* doc = w->ActiveDocument();
        QCOMPARE(CardsIn(*doc), 3);
        QVERIFY(doc->IsModified());
        QCOMPARE(w.ui.Texts().back(),
                 std::string("2 cards were imported from firefox.csv (Firefox export):\n\n"
                             "WWW Sites: 2\n\nSave the file to keep them."));
        QCOMPARE(
            w.ui.Texts().at(w.ui.Texts().size() - 2),
            std::string("Add the 2 cards of firefox.csv to mine.tsf, or make a new file of them?"));
        // Every imported card is in one category: the list shows it.
        QCOMPARE(w->ActiveView()->ShownCategory(), QStringLiteral("WWW Sites"));
        QCOMPARE(w->ActiveView()->ItemCount(), 2);
        QCOMPARE(ReadAll(path), before);

        w->OnCommand(CommandId::FileSave);
        QVERIFY(!doc->IsModified());
        WiredFrame again;
        QVERIFY(again->OpenDocumentFile(path));
        QCOMPARE(CardsIn(*again->ActiveDocument()), 3);
        QCOMPARE(again->ActiveDocument()->Cards().List(kWwwSites).Count(), 2);
    }

    // A bad line is named and nothing is imported: no new document, no change.
    void aBadLineImportsNothing() {
        const QString bad = dir_.filePath(QStringLiteral("bad.csv"));
        {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("name,url,username,password,note\nok,,u,p,\nbroken,,u,p\"w,\n");
        }
        WiredFrame w;
        w.ui.Choose(bad.toStdString());
        w->OnCommand(CommandId::FileImportCsv);
        QVERIFY(!w->ActiveDocument());
        QCOMPARE(w.ui.Texts().size(), std::size_t{1});
        QVERIFY2(w.ui.Texts()[0].starts_with("Line 3 of bad.csv cannot be imported: a double "
                                             "quote is out of place"),
                 w.ui.Texts()[0].c_str());
        QVERIFY(w.ui.Texts()[0].ends_with("\n\nNo cards were imported."));

        QVERIFY(w->NewDocument());
        w.ui.Choose(bad.toStdString());
        w->OnCommand(CommandId::FileImportCsv);
        QCOMPARE(CardsIn(*w->ActiveDocument()), 0);
        QVERIFY(!w->ActiveDocument()->IsModified());
    }

    // Cancel in the chooser does nothing at all; a file of no entries says so.
    void cancelAndEmptyFile() {
        WiredFrame w;
        w.ui.fileAnswers.push_back(std::nullopt);
        w->OnCommand(CommandId::FileImportCsv);
        QVERIFY(!w->ActiveDocument());
        QVERIFY(w.ui.Texts().empty());

        const QString empty = dir_.filePath(QStringLiteral("empty.csv"));
        {
            QFile f(empty);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("name,url,username,password,note\n");
        }
        w.ui.Choose(empty.toStdString());
        w->OnCommand(CommandId::FileImportCsv);
        QVERIFY(!w->ActiveDocument());
        QCOMPARE(w.ui.Texts(), std::vector<std::string>{"empty.csv holds no entries to import."});
    }
};

QTEST_MAIN(WiringImportCsvTest)
#include "import_csv_test.moc"
