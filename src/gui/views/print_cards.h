#pragma once
// Printing the cards of a list: the pages the print layout describes, drawn on a printer,
// a print preview or a PDF file.

#include <QString>
#include <string>

#include "core/file/safe_file.h"
#include "core/views/print_layout.h"

class QPrinter;
class QWidget;

namespace tessaline {

class CCardCollection;
class IProfile;
class IUserAnswers;

struct PrintRequest {
    const CCardCollection* cards = nullptr;
    std::string selectorText;  // a category, "Show All" or "Search Results"
    QString documentTitle;
    PrintOptions options;
};

// Draws every page of the request (or the printer's page range) on printer, inside the
// printer's margins, which it widens to kMinPrintMarginMm where they are narrower.
// Returns the number of pages drawn; 0 when there was nothing to print.
int PrintCards(QPrinter& printer, const PrintRequest& request);

// PrintCards, except that a PDF file, which holds every password in clear, is written
// readable by its owner only: into a new file that replaces the chosen one when complete.
// When that file cannot be written, returns 0 and failure says why.
int PrintCardsOwnerOnly(QPrinter& printer, const PrintRequest& request, FileError& failure);

// The printer the Print, Print Preview and Print Setup commands share.
QPrinter& SharedPrinter();

// Print: the print dialog, then the pages. True when something was printed.
bool RunPrintCommand(QWidget* parent, const PrintRequest& request);
// Print Preview: the preview window; categoryBar (may be null) is hidden while it shows.
void RunPrintPreviewCommand(QWidget* parent, const PrintRequest& request, QWidget* categoryBar);
// Print Setup: the page set-up dialog for the shared printer.
void RunPrintSetupCommand(QWidget* parent);

struct CommandLinePrint {
    bool printed = false;
    // Not empty when the file could be read only in part: what was read was printed, and
    // this says so (for the error stream).
    std::string damage;
};

// The command line's print switches: opens path (asking for its password when it is
// encrypted) and prints the list its user last looked at.
// printerName empty = the default printer; a name ending in ".pdf" prints into that file.
CommandLinePrint PrintDataFileFromCommandLine(const QString& path, const QString& printerName,
                                              IUserAnswers& ui, IProfile& profile);

}  // namespace tessaline
