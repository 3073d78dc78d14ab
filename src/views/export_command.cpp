#include "views/export_command.h"

#include <cerrno>

#include "file/safe_file.h"
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
    // Clear text: readable by the user only, whatever the file it replaces allowed.
    const auto error = WriteFileSafely(answer->path, text, WriteOptions{.ownerOnly = true});
    // The export holds every password in clear: do not leave a copy in memory.
    for (char& c : text)
        c = 0;
    if (error) {
        Tell(ui, error->explained ? error->what : ExportErrorMessage(error->code, answer->path),
             MsgCaption::Application, MsgIcon::Warning);
        return false;
    }
    return true;
}

}  // namespace tessaline
