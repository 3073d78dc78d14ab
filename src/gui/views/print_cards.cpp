#include "gui/views/print_cards.h"

#include <QDate>
#include <QFile>
#include <QFontMetrics>
#include <QLocale>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/base/secure_wipe.h"
#include "core/document/document_model.h"
#include "core/file/safe_file.h"
#include "core/platform/profile.h"
#include "core/platform/user_answers.h"
#include "core/prefs/preferences.h"
#include "core/views/card_list_model.h"
#include "gui/text/text_codec.h"
#include "gui/text/text_wipe.h"

namespace tessaline {

namespace {

// The printer's own margins, but never less than the printout's least margin.
void KeepMinimumMargins(QPrinter& printer) {
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF wanted(std::max(margins.left(), kMinPrintMarginMm),
                           std::max(margins.top(), kMinPrintMarginMm),
                           std::max(margins.right(), kMinPrintMarginMm),
                           std::max(margins.bottom(), kMinPrintMarginMm));
    if (wanted != margins) {
        printer.setFullPage(false);
        printer.setPageMargins(wanted, QPageLayout::Millimeter);
    }
}

// A text drawn may be a password: its UTF-16 copy is wiped after use.
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int PrintCards(QPrinter& printer, const PrintRequest& request) {
    if (request.cards == nullptr)
        return 0;
    KeepMinimumMargins(printer);
    const QFont font("Sans Serif", 10);
    const QFontMetrics metrics(font, &printer);
    const MeasureText measure = [&metrics](std::string_view text) {
        QString shown = FromUtf8(text);
        const int width = metrics.horizontalAdvance(shown);
        WipeText(shown);
        return width;
    };
    const PrintDevice device{printer.width(), printer.height(), metrics.height(),
                             metrics.maxWidth()};
    const auto source = PrintSource(*request.cards, request.selectorText, request.options.printAtm);
    std::vector<std::vector<PlacedText>> pages =
        LayoutPrintCards(device, request.options, source, measure);
    // Every text laid out (passwords among them) is wiped when printing ends.
    struct WipeAtEnd {
        std::vector<std::vector<PlacedText>>& pages;
        ~WipeAtEnd() {
            for (auto& page : pages) {
                for (PlacedText& t : page)
                    SecureWipe(t.text);
            }
        }
    } wipe{pages};
    if (pages.empty())
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    painter.setFont(font);
    const int count = static_cast<int>(pages.size());
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    const PageTexts texts{
        request.documentTitle.toStdString(),
        QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString()};
    int drawn = 0;
    for (int page = from; page <= to; ++page) {
        if (drawn > 0)
            printer.newPage();
        std::vector<PlacedText> frame = LayoutPageFrame(page, device, texts, measure);
        for (const auto* placed : {&frame, &pages[static_cast<std::size_t>(page - 1)]}) {
            for (const PlacedText& t : *placed) {
                QString shown = FromUtf8(t.text);
                painter.drawText(QPoint(t.x, t.y + metrics.ascent()), shown);
                WipeText(shown);
            }
        }
        ++drawn;
    }
    painter.end();
    return drawn;
}

int PrintCardsOwnerOnly(QPrinter& printer, const PrintRequest& request, FileError& failure) {
    const QString target = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || target.isEmpty())
        return PrintCards(printer, request);
    std::optional<FileReplacement> file = FileReplacement::Begin(
        QFile::encodeName(target).toStdString(), WriteOptions{.ownerOnly = true}, failure);
    if (!file)
        return 0;
    printer.setOutputFileName(QFile::decodeName(file->WritePath().c_str()));
    const int pages = PrintCards(printer, request);
    printer.setOutputFileName(target);
    // A print preview draws on the screen and writes nothing: the file stays as it was.
    if (pages == 0 || file->Size() == 0)
        return pages;
    if (std::optional<FileError> failed = file->Commit()) {
        failure = *failed;
        return 0;
    }
    return pages;
}

namespace {

void ShowPrintFileError(QWidget* parent, const FileError& error) {
    if (!error.what.empty()) {
        QMessageBox::warning(parent, QStringLiteral("Tessaline"),
                             QFile::decodeName(error.what.c_str()));
    }
}

// The choices a user makes for a printer: which one, the page, copies, colour, sides.
void CopyPrinterSetup(const QPrinter& from, QPrinter& to) {
    to.setOutputFormat(from.outputFormat());
    if (from.outputFormat() == QPrinter::NativeFormat && !from.printerName().isEmpty())
        to.setPrinterName(from.printerName());
    to.setOutputFileName(from.outputFileName());
    to.setPageLayout(from.pageLayout());
    to.setCopyCount(from.copyCount());
    to.setCollateCopies(from.collateCopies());
    to.setColorMode(from.colorMode());
    to.setDuplex(from.duplex());
}

}  // namespace

QPrinter& SharedPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool RunPrintCommand(QWidget* parent, const PrintRequest& request) {
    QPrinter& printer = SharedPrinter();
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    FileError failure;
    const int pages = PrintCardsOwnerOnly(printer, request, failure);
    ShowPrintFileError(parent, failure);
    return pages > 0;
}

void RunPrintPreviewCommand(QWidget* parent, const PrintRequest& request, QWidget* categoryBar) {
    const bool barWasVisible = categoryBar != nullptr && categoryBar->isVisible();
    if (barWasVisible)
        categoryBar->hide();
    {
        // The preview draws on a printer of its own: a printer keeps the pages of its last
        // preview, every card text on them, for as long as it lives, and the shared one
        // lives as long as the program. What the user sets up in the preview stays.
        QPrinter& shared = SharedPrinter();
        QPrinter previewPrinter(QPrinter::HighResolution);
        CopyPrinterSetup(shared, previewPrinter);
        QPrintPreviewDialog preview(&previewPrinter, parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                         [&request, &preview](QPrinter* printer) {
                             FileError failure;
                             PrintCardsOwnerOnly(*printer, request, failure);
                             ShowPrintFileError(&preview, failure);
                         });
        preview.exec();
        CopyPrinterSetup(previewPrinter, shared);
    }
    if (barWasVisible)
        categoryBar->show();
}

void RunPrintSetupCommand(QWidget* parent) {
    QPageSetupDialog dialog(&SharedPrinter(), parent);
    dialog.exec();
}

CommandLinePrint PrintDataFileFromCommandLine(const QString& path, const QString& printerName,
                                              IUserAnswers& ui, IProfile& profile) {
    CommandLinePrint result;
    DocumentModel document(ui, profile, nullptr);
    if (!document.Open(path.toStdString(), "", DocumentModel::DamageNotice::Quiet))
        return result;
    if (document.IsReadOnly()) {
        result.damage = "Only " + std::to_string(document.CardsRead()) + " of the cards in " +
                        document.Title() +
                        " could be read; the rest of the file is damaged. Only those were printed.";
    }
    QPrinter printer(QPrinter::HighResolution);
    if (printerName.endsWith(".pdf", Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerName);
    } else if (!printerName.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        if (info.isNull()) {
            Tell(ui, "The printer " + StoredText(printerName) + " was not found.",
                 MsgCaption::Application, MsgIcon::Warning);
            return result;
        }
        printer.setPrinterName(printerName);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        Tell(ui, "No default printer is set up.", MsgCaption::Application, MsgIcon::Warning);
        return result;
    }
    const PrintFlags flags = LoadPrintFlags(profile);
    PrintRequest request;
    request.cards = &document.Cards();
    request.selectorText = ChooseCategoryText(std::nullopt, profile);
    request.documentTitle = DisplayText(document.Title());
    request.options = PrintOptions{flags.printNotes, flags.printAtm};
    FileError failure;
    const int pages = PrintCardsOwnerOnly(printer, request, failure);
    if (!failure.what.empty())
        Tell(ui, failure.what, MsgCaption::Application, MsgIcon::Warning);
    result.printed = pages > 0;
    return result;
}

}  // namespace tessaline
