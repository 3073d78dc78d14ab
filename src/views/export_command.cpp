#include "views/export_command.h"

#include <cerrno>

#include "file/safe_file.h"
#include "file/secure_wipe.h"
#include "platform/user_answers.h"
#include "views/text_export.h"

namespace tessaline {

std::string ExportErrorMessage(int errorCode, const std::string& path) {
    switch (errorCode) {
        case EACCES:
        case EPERM:
        case EROFS:
            return "Access to " + path + " was denied.";
        case ENOSPC:
        case EDQUOT:
            return "Disk full while accessing " + path + ".";
        case ENOENT:
        case ENOTDIR:
            return path + " was not found.";
        case EISDIR:
            return "Access to " + path + " was denied.";
        default:
            return "An unexpected error occurred while accessing " + path + ".";
    }
}

std::optional<FileError> WriteExportAndWipe(const std::string& path, std::string& text) {
    const auto error = WriteFileSafely(path, text);
    // The export holds every password in clear: no copy stays in memory, and the wiping
    // is one the compiler may not leave out.
    SecureWipe(text);
    return error;
}

bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui) {
    FileDialogRequest request;
    request.title = "Save Data File As Text [ Tab Delimited ]";
    request.defaultExtension = "txt";
    request.initialName = documentTitle;
    request.filter = "Text File (*.txt)|*.txt||";
    request.overwritePrompt = true;
    const auto answer = ui.SaveFileName(request);
    if (!answer || answer->path.empty())
        return false;
    std::string text = ExportCardsAsText(cards);
    const auto error = WriteExportAndWipe(answer->path, text);
    if (error) {
        Tell(ui, ExportErrorMessage(error->code, answer->path), MsgCaption::Application,
             MsgIcon::Warning);
        return false;
    }
    return true;
}

}  // namespace tessaline
