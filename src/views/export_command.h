#pragma once
// "Export To Text...": asks for a file name and writes every card there in clear text.

#include <string>

namespace tessaline {

class CCardCollection;
class IUserAnswers;

// The message for a file that could not be written, with the file's name in it.
std::string ExportErrorMessage(int errorCode, const std::string& path);

// Runs the command: the save chooser, then the file. True when a file was written.
// A new file is readable by its owner only; a failed write leaves no half-written file.
bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui);

}  // namespace tessaline
