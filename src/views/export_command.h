#pragma once
// "Export To Text...": asks for a file name and writes every card there in clear text.

#include <optional>
#include <string>

#include "file/safe_file.h"

namespace tessaline {

class CCardCollection;
class IUserAnswers;

// The message for a file that could not be written, with the file's name in it.
std::string ExportErrorMessage(int errorCode, const std::string& path);

// Writes the export text to `path` as WriteFileSafely does, then wipes `text` (every
// byte it held, whether or not the file was written) and leaves it empty.
std::optional<FileError> WriteExportAndWipe(const std::string& path, std::string& text);

// Runs the command: the save chooser, then the file. True when a file was written.
// A new file is readable by its owner only; a failed write leaves no half-written file.
bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui);

}  // namespace tessaline
