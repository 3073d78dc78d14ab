// Export and printing as a user reaches them in the main window, and the command line's
// print switches of the real program printing into a PDF that is read back.

#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/commands/command_ids.h"
#include "core/views/csv_import.h"
#include "core/views/text_import.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::ModalWatch;
using tessaline::testing::ReadAll;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

namespace {

struct RunResult {
    int exitCode = -1;
    QString errors;
};

// The program, built into the same folder as this test.
QString ProgramPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tessaline");
}

// Runs the program with its settings in home, offscreen.
RunResult RunProgram(const QStringList& args, const QString& home) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    process.setProcessEnvironment(env);
    process.start(ProgramPath(), args);
    RunResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QString PdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class WiringFileCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

private slots:
    void initTestCase() {
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(WriteDataFile(cardsFile_, {{.code = kWwwSites,
                                            .name = "alpha site",
                                            .address = "http://alpha.example",
                                            .user = "al",
                                            .password = "a-secret",
                                            .note = "plain note text"},
                                           {.code = kWwwSites, .name = "beta site"},
                                           {.code = kBankAccounts, .name = "bank"}}));
    }

    // Export, Print and Print Preview need a document with a card.
    void greyedWithoutCards() {
        WiredFrame w;
        for (CommandId id :
             {CommandId::ExportToText, CommandId::FilePrint, CommandId::PrintPreview})
            QVERIFY2(!w.Enabled(id), QByteArray::number(ToInt(id)));
        QVERIFY(w->NewDocument());
        for (CommandId id :
             {CommandId::ExportToText, CommandId::FilePrint, CommandId::PrintPreview})
            QVERIFY2(!w.Enabled(id), QByteArray::number(ToInt(id)));
        QVERIFY(w->OpenDocumentFile(cardsFile_));
        for (CommandId id :
             {CommandId::ExportToText, CommandId::FilePrint, CommandId::PrintPreview})
            QVERIFY2(w.Enabled(id), QByteArray::number(ToInt(id)));
    }

    // Export To Text asks for a name and writes every card there, for its owner only.
    void exportWritesTheFile() {
        WiredFrame w;
        QVERIFY(w->OpenDocumentFile(cardsFile_));
        const QString out = dir_.filePath(QStringLiteral("export.txt"));
        w.ui.Choose(out.toStdString());
        w->OnCommand(CommandId::ExportToText);
        QCOMPARE(w.ui.fileRequests.size(), std::size_t{1});
        QCOMPARE(w.ui.fileRequests[0].title,
                 std::string("Save Data File As Text [ Tab Delimited ]"));
        QCOMPARE(w.ui.fileRequests[0].defaultExtension, std::string("txt"));
        const QByteArray text = ReadAll(out);
        for (const char* expected :
             {"alpha site", "beta site", "bank", "a-secret", "plain note text"})
            QVERIFY2(text.contains(expected), expected);
        QCOMPARE(QFileInfo(out).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        // Exporting changes nothing in the document.
        QVERIFY(!w->ActiveDocument()->IsModified());

        // Cancel in the chooser writes nothing.
        const QString cancelled = dir_.filePath(QStringLiteral("never.txt"));
        w.ui.fileAnswers.push_back(std::nullopt);
        w->OnCommand(CommandId::ExportToText);
        QVERIFY(!QFileInfo::exists(cancelled));
    }

    // A tab inside a text is written as a space, so that the text read back stays in its
    // column; the user is told which cards changed and that the CSV file type keeps them.
    // That type, chosen in the same chooser, writes CSV, owner-only, with the texts whole.
    void exportKeepsColumnsAndOffersCsv() {
        const QString data = dir_.filePath(QStringLiteral("tabs.tsf"));
        QVERIFY(WriteDataFile(data, {{.code = kWwwSites,
                                      .name = "tabbed",
                                      .user = "me",
                                      .password = "a\tb",
                                      .note = "the note"},
                                     {.code = kCreditCards, .name = "Visa", .password = "1234"},
                                     {.code = kMiscellaneous, .name = "two\tparts"}}));
        WiredFrame w;
        QVERIFY(w->OpenDocumentFile(data));
        const QString text = dir_.filePath(QStringLiteral("tabs.txt"));
        w.ui.Choose(text.toStdString());
        w->OnCommand(CommandId::ExportToText);
        const QByteArray exported = ReadAll(text);
        QVERIFY2(exported.contains("0\ttabbed\t\tme\ta b\tthe note\r\n"), exported.constData());
        QVERIFY(exported.contains("14\ttwo parts\t\t\t\t\r\n"));
        QCOMPARE(w.ui.Texts().back(),
                 std::string("In 2 cards, a tab or line break inside a text was written as a "
                             "space, so that each text stays in its own column:\n\n"
                             "WWW Sites: tabbed\nMiscellaneous: two parts\n\n"
                             "A CSV export keeps these texts as they are: choose the file type "
                             "\"CSV File (*.csv)\" in Export To Text."));
        // Read back, every text is in its own field.
        const TextImport back = ParseExportedText(exported.toStdString(), 0);
        QVERIFY(!back.error);
        QCOMPARE(back.cards.size(), std::size_t{3});
        QCOMPARE(back.cards[0].Password(), std::string("a b"));
        QCOMPARE(back.cards[0].Note(), std::string("the note"));

        // The CSV type: a name typed without an extension gets ".csv".
        w.ui.ClearShown();
        QCOMPARE(w.ui.fileRequests.back().filter,
                 std::string("Text File (*.txt)|*.txt|CSV File (*.csv)|*.csv||"));
        w.ui.Choose(dir_.filePath(QStringLiteral("moving")).toStdString(), 1);
        w->OnCommand(CommandId::ExportToText);
        const QString csv = dir_.filePath(QStringLiteral("moving.csv"));
        const QByteArray csvText = ReadAll(csv);
        QVERIFY2(
            csvText.startsWith("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\""),
            csvText.constData());
        QCOMPARE(QFileInfo(csv).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QVERIFY(w.ui.Texts().empty());  // nothing was changed
        const CsvImport csvBack = ImportCsv(csvText.toStdString(), CsvSource::Auto, 0);
        QVERIFY(!csvBack.error);
        QCOMPARE(csvBack.cards.size(), std::size_t{3});
        QCOMPARE(csvBack.cards[0].Password(), std::string("a\tb"));
        QCOMPARE(csvBack.cards[2].Name(), std::string("two\tparts"));

        // Like the text, CSV never replaces a data file: the chooser comes again.
        w.ui.Choose(data.toStdString(), 1);
        w.ui.fileAnswers.push_back(std::nullopt);
        const QByteArray before = ReadAll(data);
        w->OnCommand(CommandId::ExportToText);
        QCOMPARE(ReadAll(data), before);
        QCOMPARE(w.ui.Texts().back(),
                 std::string("tabs.tsf is open in Tessaline; the export does not replace it. "
                             "Choose another name."));
    }

    // The category bar hides while the preview shows and comes back after.
    void printPreviewHidesTheCategoryBar() {
        WiredFrame w;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.frame.get()));
        QVERIFY(w->OpenDocumentFile(cardsFile_));
        QVERIFY(w->CategoryBar()->isVisible());
        bool barHidden = false;
        ModalWatch seen;
        seen = WhenModal<QPrintPreviewDialog>(
            [&](QPrintPreviewDialog&) { barHidden = w->CategoryBar()->isHidden(); });
        w->OnCommand(CommandId::PrintPreview);
        QVERIFY(seen);
        QVERIFY(barHidden);
        QVERIFY(w->CategoryBar()->isVisible());
    }

    // tessaline --print-to FILE OUT.pdf prints the list into the PDF and ends.
    void commandLinePrintsIntoAPdf() {
        QVERIFY2(QFileInfo(ProgramPath()).isExecutable(), "build the tessaline program first");
        QTemporaryDir home;
        const QString pdf = dir_.filePath(QStringLiteral("cards.pdf"));
        const RunResult run = RunProgram({"--print-to", cardsFile_, pdf}, home.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo::exists(pdf));
        const QString text = PdfText(pdf);
        // The first list: header, labels and values of both web sites, the page number.
        for (const char* expected :
             {"cards.tsf", "Tessaline", "Card:", "Note:", "alpha site", "http://alpha.example",
              "a-secret", "beta site", "plain note text"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)),
                     qPrintable(QStringLiteral("%1 missing from:\n%2").arg(expected, text)));
        QVERIFY(!text.contains(QStringLiteral("bank")));
    }

    // Switches without their file, and a file with nothing to print, end with an error
    // and leave no PDF.
    void commandLinePrintErrors() {
        QVERIFY2(QFileInfo(ProgramPath()).isExecutable(), "build the tessaline program first");
        QTemporaryDir home;
        RunResult run = RunProgram({"--print-to", cardsFile_}, home.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(
            run.errors.contains(QStringLiteral("--print-to needs the data file and the printer.")));
        run = RunProgram({"--print"}, home.path());
        QCOMPARE(run.exitCode, 2);

        const QString empty = dir_.filePath(QStringLiteral("empty.tsf"));
        QVERIFY(WriteDataFile(empty, {{.code = kBankAccounts, .name = "not in the first list"}}));
        const QString pdf = dir_.filePath(QStringLiteral("empty.pdf"));
        run = RunProgram({"--print-to", empty, pdf}, home.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.errors.contains(QStringLiteral("nothing was printed")));
        QVERIFY(!QFileInfo::exists(pdf));
    }
};

QTEST_MAIN(WiringFileCommandsTest)
#include "frame_file_commands_test.moc"
