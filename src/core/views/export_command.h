#pragma once
// "Export To Text...": asks for a file name and writes every card there in clear text,
// tab-delimited or as CSV.

#include <optional>
#include <string>
#include <vector>

#include "core/file/safe_file.h"
#include "core/views/text_export.h"

namespace tessaline {

class CCardCollection;
class IUserAnswers;

// The message for a file that could not be written, with the file's name in it.
std::string ExportErrorMessage(int errorCode, const std::string& path);

// The name the chooser proposes: the document's title with ".txt" for its extension.
std::string TextExportName(const std::string& documentTitle);

// Why the export must not be written to path, or "" when it may: the clear text never
// replaces a data file, nor the file of an open document (openDocuments: their paths).
std::string ExportRefusal(const std::string& path, const std::vector<std::string>& openDocuments);

// Writes the export text to `path` as WriteFileSafely does, then wipes `text` (every
// byte it held, whether or not the file was written) and leaves it empty.
std::optional<FileError> WriteExportAndWipe(const std::string& path, std::string& text);

// The chooser's second file type: the export as CSV (see csv_export.h), which keeps
// every text as it is.
inline constexpr const char* kCsvFileType = "CSV File (*.csv)";

// What the user is told after a text export that wrote a tab or line break as a space:
// which cards (the first ten, by category and name), then howToKeep (how a CSV export
// is made, which keeps them).
std::string TextExportChangesMessage(const std::vector<TextExportChange>& changed,
                                     const std::string& howToKeep);

// Runs the command: the save chooser, then the file. True when a file was written.
// The chooser offers two file types: tab-delimited text and CSV. The CSV type, or a name
// ending in ".csv", writes CSV; a name typed without an extension gets the chosen type's.
// A refused name (see ExportRefusal) is explained and the chooser comes again. A new
// file is readable by its owner only; a failed write leaves no half-written file. When
// the text lost tabs or line breaks, the cards are named afterwards.
bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui, const std::vector<std::string>& openDocuments = {});

}  // namespace tessaline
