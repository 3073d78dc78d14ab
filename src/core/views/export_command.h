#pragma once
// "Export To Text...": asks for a file name and writes every card there in clear text.

#include <optional>
#include <string>
#include <vector>

#include "core/file/safe_file.h"

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

// Runs the command: the save chooser, then the file. True when a file was written.
// A name typed without an extension gets ".txt". A refused name (see ExportRefusal) is
// explained and the chooser comes again. A new file is readable by its owner only; a
// failed write leaves no half-written file.
bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui, const std::vector<std::string>& openDocuments = {});

}  // namespace tessaline
