// Printing into PDF files, read back with pdftotext.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <sys/stat.h>

#include <optional>

#include "core/cards/card_collection.h"
#include "core/platform/profile.h"
#include "gui/views/print_cards.h"
#include "support/card_fixtures.h"
#include "support/qt_data_files.h"
#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::AddCard;
using tessaline::testing::CardFields;
using tessaline::testing::ModalWatch;
using tessaline::testing::ReadAll;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WhenModal;
using tessaline::testing::WriteDataFile;

namespace {

// The note's two printed lines: broken at the last space before character 70.
const std::string kLongNote =
    "Renewal due in March, ask for the loyalty discount before signing anything new "
    "and keep the receipt";

const std::vector<CardFields> kSample = {
    {.code = kWwwSites,
     .name = "Example Mail",
     .address = "https://mail.example",
     .user = "alice",
     .password = "hunter22",
     .note = kLongNote},
    {.code = kAtmPinCards,
     .name = "Debit card",
     .address = "First Bank",
     .user = "555 0100",
     .password = "4321",
     .note = "pin note"},
};

void Fill(CCardCollection& cards) {
    for (const CardFields& card : kSample)
        AddCard(cards, card);
}

// Replaces the file's contents with text.
bool WriteText(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

// Opens the print preview with the command and closes it as the user does; tells
// whether it came.
bool PreviewAndClose(QWidget* window, const PrintRequest& request, QWidget* bar,
                     const std::function<void()>& whileShown = {}) {
    const ModalWatch preview = WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& d) {
        if (whileShown)
            whileShown();
        d.reject();
    });
    RunPrintPreviewCommand(window, request, bar);
    return preview.Seen();
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(60000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList Lines(const QString& text) {
    QStringList out;
    for (const QString& line : text.split('\n'))
        out << line.simplified();
    return out;
}

int IndexOfLine(const QStringList& lines, const QString& pattern) {
    const QRegularExpression re(pattern);
    for (int i = 0; i < lines.size(); ++i) {
        if (re.match(lines[i]).hasMatch())
            return i;
    }
    return -1;
}

// One word of a PDF page as pdftotext -bbox places it, in points from the top left.
struct PdfWord {
    double xMin, yMin, xMax, yMax;
    QString text;
};
struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfWord> words;
};

std::vector<PdfPage> PdfWords(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    if (!p.waitForFinished(60000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<PdfPage> pages;
    const QRegularExpression page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (const QString& line : html.split('\n')) {
        if (const auto m = page.match(line); m.hasMatch())
            pages.push_back(PdfPage{m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        else if (const auto w = word.match(line); w.hasMatch() && !pages.empty())
            pages.back().words.push_back(PdfWord{w.captured(1).toDouble(), w.captured(2).toDouble(),
                                                 w.captured(3).toDouble(), w.captured(4).toDouble(),
                                                 w.captured(5)});
    }
    return pages;
}

constexpr double kPointsPerMm = 72.0 / 25.4;

}  // namespace

class CardsPrintTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pageWithNotes();
    void pageWithoutNotesAndAtm();
    void commandLinePrintsADataFile();
    void commandLinePrintsWhatADamagedFileHoldsAndFails();
    void nothingToPrint();
    void previewHidesTheCategoryBar();
    void pdfFilesAreOwnerOnly();
    void previewLeavesThePdfFileAlone();

    void longTextsWrapInsideTheMargins();
    void noteLineBreaksArePrinted();
    void fieldsAreLabelledAsTheEditorDoes();

private:
    QString Print(const PrintRequest& request, int* pages = nullptr);
    // The PDF file's path.
    QString PrintToPdf(const PrintRequest& request, int* pages = nullptr,
                       std::optional<double> marginMm = std::nullopt);
    QTemporaryDir dir_;
};

void CardsPrintTest::initTestCase() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed (package poppler-utils)");
    QVERIFY(dir_.isValid());
}

QString CardsPrintTest::PrintToPdf(const PrintRequest& request, int* pages,
                                   std::optional<double> marginMm) {
    static int n = 0;
    const QString pdf = dir_.filePath(QString("out%1.pdf").arg(++n));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (marginMm) {
        printer.setPageMargins(QMarginsF(*marginMm, *marginMm, *marginMm, *marginMm),
                               QPageLayout::Millimeter);
    }
    const int drawn = PrintCards(printer, request);
    if (pages != nullptr)
        *pages = drawn;
    return pdf;
}

QString CardsPrintTest::Print(const PrintRequest& request, int* pages) {
    return PdfText(PrintToPdf(request, pages));
}

void CardsPrintTest::pageWithNotes() {
    CCardCollection cards;
    Fill(cards);
    PrintRequest request{&cards, "Show All", "mine.tsf", PrintOptions{true, true}};
    int pages = 0;
    const QStringList lines = Lines(Print(request, &pages));
    QCOMPARE(pages, 1);
    // Header on the first line, footer with the page number and today's short date.
    QVERIFY2(IndexOfLine(lines, "^mine\\.tsf Tessaline$") >= 0, qPrintable(lines.join("\n")));
    const QString today = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    QVERIFY(IndexOfLine(lines, "^" + QRegularExpression::escape(today) + " 1$") >= 0);

    const int category = IndexOfLine(lines, "^WWW Sites$");
    QVERIFY(category >= 0);
    QVERIFY(IndexOfLine(lines, "^Card: 1$") == category + 1);
    QCOMPARE(lines[category + 2], QString("Name: Example Mail"));
    QCOMPARE(lines[category + 3], QString("URL: https://mail.example"));
    QCOMPARE(lines[category + 4], QString("User ID: alice"));
    QCOMPARE(lines[category + 5], QString("Password: hunter22"));
    // The ATM/PIN card follows, numbered on; the whole note comes before it.
    const int atm = IndexOfLine(lines, "^ATM/PIN Cards$");
    QVERIFY(atm > category);
    QCOMPARE(lines.mid(category + 6, atm - category - 6).join(' ').simplified(),
             QString::fromStdString("Note: " + kLongNote));
    QCOMPARE(lines[atm + 1], QString("Card: 2"));
    QCOMPARE(lines[atm + 5], QString("ATM/PIN Code: 4321"));
}

void CardsPrintTest::pageWithoutNotesAndAtm() {
    CCardCollection cards;
    Fill(cards);
    PrintRequest request{&cards, "Show All", "mine.tsf", PrintOptions{false, false}};
    const QString text = Print(request);
    QVERIFY(text.contains("hunter22"));
    QVERIFY(!text.contains("Note:"));
    QVERIFY(!text.contains("Renewal"));
    QVERIFY(!text.contains("4321"));
    QVERIFY(!text.contains("ATM/PIN Cards"));
    // The category itself prints whole even with ATM/PIN codes switched off.
    request.selectorText = "ATM/PIN Cards";
    QVERIFY(Print(request).contains("4321"));
}

void CardsPrintTest::commandLinePrintsADataFile() {
    const QString data = dir_.filePath("cards.tsf");
    QVERIFY(WriteDataFile(data, kSample));
    ScriptedAnswers ui;
    MemoryProfile profile;
    profile.WriteText("General Preferences", "LastSelectedCatg", "WWW Sites");
    profile.WriteInt("Print Preferences", "Print Notes", 0);
    const QString pdf = dir_.filePath("cli.pdf");
    const CommandLinePrint printed = PrintDataFileFromCommandLine(data, pdf, ui, profile);
    QVERIFY(printed.printed);
    QVERIFY(printed.damage.empty());
    const QString text = PdfText(pdf);
    QVERIFY(text.contains("cards.tsf"));
    QVERIFY(text.contains("Example Mail"));
    QVERIFY(!text.contains("Debit card"));  // only the list the user last looked at
    QVERIFY(!text.contains("Renewal"));

    QVERIFY(!PrintDataFileFromCommandLine(dir_.filePath("missing.tsf"), pdf, ui, profile).printed);
    QVERIFY(!ui.Texts().empty());
}

void CardsPrintTest::commandLinePrintsWhatADamagedFileHoldsAndFails() {
    // Two web sites; the length byte of the second record is damaged.
    const QString data = dir_.filePath("damaged.tsf");
    QVERIFY(WriteDataFile(
        data,
        {{.code = kWwwSites, .name = "Example Mail", .user = "alice", .password = "hunter22"},
         {.code = kWwwSites, .name = "Second site", .user = "bob", .password = "swordfish"}}));
    QByteArray damaged = ReadAll(data);
    const int firstRecord = 24 + 12 + 5 + 8 + 5;
    damaged[22 + firstRecord + 20] = char(0xFF);
    QVERIFY(WriteText(data, damaged));

    MemoryProfile profile;
    const QString pdf = dir_.filePath("damaged.pdf");
    ScriptedAnswers ui;
    const CommandLinePrint printed = PrintDataFileFromCommandLine(data, pdf, ui, profile);
    QVERIFY(printed.printed);
    QCOMPARE(printed.damage, std::string("Only 1 of the cards in damaged.tsf could be read; the "
                                         "rest of the file is damaged. Only those were printed."));
    QVERIFY(ui.Texts().empty());  // no box for a program that prints and ends
    const QString text = PdfText(pdf);
    QVERIFY(text.contains("Example Mail"));
    QVERIFY(!text.contains("Second site"));

    // The program itself: the pages of what was read, the reason on its error stream, and
    // a failing exit status.
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", dir_.path());
    env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    program.setProcessEnvironment(env);
    const QString pdf2 = dir_.filePath("program.pdf");
    program.start(TESSALINE_PROGRAM, {"--print-to", data, pdf2});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(err.contains("Only 1 of the cards in damaged.tsf could be read; the rest of the file "
                          "is damaged."),
             qPrintable(err));
    const QString printedByProgram = PdfText(pdf2);
    QVERIFY(printedByProgram.contains("Example Mail"));
    QVERIFY(!printedByProgram.contains("Second site"));
    // Printing never writes the data file.
    QCOMPARE(ReadAll(data), damaged);
}

void CardsPrintTest::nothingToPrint() {
    CCardCollection cards;
    PrintRequest request{&cards, "WWW Sites", "empty", PrintOptions{}};
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("empty.pdf"));
    QCOMPARE(PrintCards(printer, request), 0);
}

void CardsPrintTest::previewHidesTheCategoryBar() {
    CCardCollection cards;
    Fill(cards);
    PrintRequest request{&cards, "WWW Sites", "mine.tsf", PrintOptions{}};
    QWidget window;
    QWidget bar(&window);
    window.show();
    QVERIFY(bar.isVisible());
    bool hiddenDuringPreview = false;
    QVERIFY(
        PreviewAndClose(&window, request, &bar, [&] { hiddenDuringPreview = !bar.isVisible(); }));
    QVERIFY(hiddenDuringPreview);
    QVERIFY(bar.isVisible());
}

// A printed PDF file holds every password in clear: it is readable by its owner only,
// whether new or replacing a file that others could read.
void CardsPrintTest::pdfFilesAreOwnerOnly() {
    const QString data = dir_.filePath("owner.tsf");
    QVERIFY(WriteDataFile(data, kSample));
    const QString fresh = dir_.filePath("fresh.pdf");
    const QString shared = dir_.filePath("shared.pdf");
    QVERIFY(WriteText(shared, "old contents"));
    QVERIFY(QFile::setPermissions(
        shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    for (const QString& pdf : {fresh, shared}) {
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteText("General Preferences", "LastSelectedCatg", "WWW Sites");
        QVERIFY(PrintDataFileFromCommandLine(data, pdf, ui, profile).printed);
        QVERIFY(PdfText(pdf).contains("hunter22"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0600u);
    }
    // No temporary file is left beside them.
    QCOMPARE(QDir(dir_.path()).entryList({"*tessaline-*"}, QDir::Files | QDir::Hidden).size(), 0);
}

// The preview draws on the screen: a PDF file named in the shared printer is not touched.
void CardsPrintTest::previewLeavesThePdfFileAlone() {
    CCardCollection cards;
    Fill(cards);
    PrintRequest request{&cards, "WWW Sites", "mine.tsf", PrintOptions{}};
    const QString pdf = dir_.filePath("earlier.pdf");
    QVERIFY(WriteText(pdf, "earlier print"));
    QPrinter& printer = SharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QWidget window;
    window.show();
    QVERIFY(PreviewAndClose(&window, request, nullptr));
    QCOMPARE(ReadAll(pdf), QByteArray("earlier print"));
    QCOMPARE(printer.outputFileName(), pdf);
    printer.setOutputFileName(QString());
    QCOMPARE(QDir(dir_.path()).entryList({".earlier*"}, QDir::Files | QDir::Hidden).size(), 0);
}

// A password, an address and a note longer than a line go on over further lines: nothing
// is cut at the right edge, and every word lies inside the margins, which are the
// printer's own but never less than 10 mm.
void CardsPrintTest::longTextsWrapInsideTheMargins() {
    std::string password;
    for (int i = 0; i < 300; ++i)
        password.push_back(static_cast<char>('a' + i % 26));
    std::string note;
    for (int i = 0; i < 60; ++i)
        note += "word" + std::to_string(i) + " ";
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kWwwSites,
                              .name = "Long values",
                              .address = "https://example.com/" + std::string(200, 'p'),
                              .password = password,
                              .note = note});
    const PrintRequest request{&cards, "WWW Sites", "mine.tsf", PrintOptions{true, true}};
    for (double marginMm : {0.0, 3.0, 25.0}) {
        const QString pdf = PrintToPdf(request, nullptr, marginMm);
        QString text = PdfText(pdf);
        text.remove(QRegularExpression("\\s"));
        QVERIFY2(text.contains(QString::fromStdString("Password:" + password + "Note:")),
                 qPrintable(text));
        QVERIFY(text.contains(QString::fromStdString("URL:https://example.com/" +
                                                     std::string(200, 'p') + "UserID:Password:")));
        const std::vector<PdfPage> pages = PdfWords(pdf);
        QCOMPARE(pages.size(), std::size_t{1});
        const double margin = std::max(marginMm, 10.0) * kPointsPerMm - 0.5;
        int words = 0;
        for (const PdfWord& w : pages[0].words) {
            ++words;
            QVERIFY2(w.xMin >= margin && w.yMin >= margin && w.xMax <= pages[0].width - margin &&
                         w.yMax <= pages[0].height - margin,
                     qPrintable(QString("%1 at %2..%3 x %4..%5, margin %6")
                                    .arg(w.text)
                                    .arg(w.xMin)
                                    .arg(w.xMax)
                                    .arg(w.yMin)
                                    .arg(w.yMax)
                                    .arg(margin)));
        }
        QVERIFY(words > 60);
        // The left margin is the one asked for: the header starts there.
        double left = pages[0].width;
        for (const PdfWord& w : pages[0].words)
            left = std::min(left, w.xMin);
        QVERIFY2(left < margin + 2 * kPointsPerMm, qPrintable(QString::number(left)));
    }
}

// The note's line breaks are printed as in the preview: each line of the note on a line
// of its own.
void CardsPrintTest::noteLineBreaksArePrinted() {
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kMiscellaneous,
                              .name = "Lines",
                              .note = "Line one\r\nLine two\nLine three\r\n\r\nLine 5"});
    const QString text = Print(PrintRequest{&cards, "Miscellaneous", "m", PrintOptions{}});
    QVERIFY2(!text.contains("Line oneLine two"), qPrintable(text));
    const QStringList lines = Lines(text);
    const int first = IndexOfLine(lines, "^Note: Line one$");
    QVERIFY2(first >= 0, qPrintable(text));
    QCOMPARE(lines[first + 1], QString("Line two"));
    QCOMPARE(lines[first + 2], QString("Line three"));
    QCOMPARE(lines[first + 3], QString(""));
    QCOMPARE(lines[first + 4], QString("Line 5"));
}

// Each text beside the label the card editor shows for it; no label twice on a card.
void CardsPrintTest::fieldsAreLabelledAsTheEditorDoes() {
    CCardCollection cards;
    AddCard(cards, CardFields{.code = kCreditCards,
                              .name = "Visa",
                              .address = "12/29",
                              .user = "4111 1111",
                              .password = "1234",
                              .note = "call bank"});
    const QStringList lines =
        Lines(Print(PrintRequest{&cards, "Credit Cards", "c", PrintOptions{true, true}}));
    const int category = IndexOfLine(lines, "^Credit Cards$");
    QVERIFY(category >= 0);
    const QStringList expected = {"Card: 1",           "Name/Type: Visa", "Exp. Date: 12/29",
                                  "Number: 4111 1111", "PIN Code: 1234",  "Note: call bank"};
    QCOMPARE(lines.mid(category + 1, expected.size()), expected);
    QCOMPARE(lines.join('\n').count("Number"), 1);
}

QTEST_MAIN(CardsPrintTest)
#include "print_cards_test.moc"
