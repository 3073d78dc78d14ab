#include "core/views/export_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/secure_wipe.h"
#include "core/document/document_model.h"
#include "core/file/data_file.h"
#include "core/file/file_fingerprint.h"
#include "core/file/safe_file.h"
#include "core/platform/user_answers.h"
#include "core/views/text_export.h"

namespace tessaline {

namespace {

constexpr const char* kTextExtension = "txt";

// Whether path is a regular file whose first bytes the reader takes for a data file of
// any layout. An empty file holds nothing to lose.
bool HoldsDataFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    std::uint8_t head[64];
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        n = ::read(fd, head, sizeof head);
    ::close(fd);
    if (n <= 0)
        return false;
    const FileFormat format =
        InspectHeader(std::span<const std::uint8_t>(head, static_cast<std::size_t>(n))).format;
    return format != FileFormat::NotTessaline && format != FileFormat::Empty;
}

}  // namespace

std::string TextExportName(const std::string& documentTitle) {
    return WithExtension(documentTitle, kTextExtension);
}

std::string ExportRefusal(const std::string& path, const std::vector<std::string>& openDocuments) {
    const std::string name = FileTitleOf(path);
    for (const std::string& open : openDocuments) {
        if (!open.empty() && (open == path || SameExistingFile(open, path)))
            return name +
                   " is open in Tessaline; the export does not replace it. Choose "
                   "another name.";
    }
    if (HoldsDataFile(path)) {
        return name +
               " is a Tessaline data file; the export does not replace it. Choose "
               "another name.";
    }
    return {};
}

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
    // Clear text: readable by the user only, whatever the file it replaces allowed.
    const auto error = WriteFileSafely(path, text, WriteOptions{.ownerOnly = true});
    // The export holds every password in clear: no copy stays in memory, and the wiping
    // is one the compiler may not leave out.
    SecureWipe(text);
    return error;
}

bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui, const std::vector<std::string>& openDocuments) {
    FileDialogRequest request;
    request.title = "Save Data File As Text [ Tab Delimited ]";
    request.defaultExtension = kTextExtension;
    request.initialName = TextExportName(documentTitle);
    request.filter = "Text File (*.txt)|*.txt||";
    request.overwritePrompt = true;
    std::string path;
    std::string lastChosen;
    for (;;) {
        const auto answer = ui.SaveFileName(request);
        if (!answer || answer->path.empty())
            return false;
        lastChosen = answer->path;
        path = lastChosen;
        if (ExtensionOf(path).empty())
            path = WithExtension(path, kTextExtension);
        const std::string refusal = ExportRefusal(path, openDocuments);
        if (refusal.empty())
            break;
        Tell(ui, refusal, MsgCaption::Application, MsgIcon::Warning);
        request.initialName = TextExportName(path);
    }
    // The chooser asked before replacing the name it gave back, not one with ".txt" added.
    struct stat st;
    if (ExtensionOf(path) != ExtensionOf(lastChosen) && ::lstat(path.c_str(), &st) == 0 &&
        ui.Message(MessageRequest{
            FileTitleOf(path) + " already exists.\nDo you want to replace it?",
            MsgCaption::Application, MsgIcon::Warning, MsgButtons::YesNo}) != MsgAnswer::Yes) {
        return false;
    }
    std::string text = ExportCardsAsText(cards);
    const auto error = WriteExportAndWipe(path, text);
    if (error) {
        Tell(ui, error->explained ? error->what : ExportErrorMessage(error->code, path),
             MsgCaption::Application, MsgIcon::Warning);
        return false;
    }
    return true;
}

}  // namespace tessaline
