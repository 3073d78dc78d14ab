#include "core/views/export_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/base/secure_wipe.h"
#include "core/cards/categories.h"
#include "core/document/document_model.h"
#include "core/file/data_file.h"
#include "core/file/file_fingerprint.h"
#include "core/file/safe_file.h"
#include "core/platform/user_answers.h"
#include "core/views/csv_export.h"
#include "core/views/text_export.h"

namespace tessaline {

namespace {

constexpr const char* kTextExtension = "txt";
constexpr const char* kCsvExtension = "csv";

bool IsCsvName(const std::string& path) {
    std::string extension = ExtensionOf(path);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == kCsvExtension;
}

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

std::string TextExportChangesMessage(const std::vector<TextExportChange>& changed,
                                     const std::string& howToKeep) {
    constexpr std::size_t kNamed = 10;
    const std::size_t count = changed.size();
    std::string text = "In " + std::to_string(count) + (count == 1 ? " card" : " cards") +
                       ", a tab or line break inside a text was written as a space, so that "
                       "each text stays in its own column:\n";
    for (std::size_t i = 0; i < count && i < kNamed; ++i)
        text += "\n" + CategoryDisplayName(changed[i].category) + ": " + changed[i].name;
    if (count > kNamed)
        text += "\n... and " + std::to_string(count - kNamed) + " more";
    return text + "\n\n" + howToKeep;
}

bool ExportToTextCommand(const CCardCollection& cards, const std::string& documentTitle,
                         IUserAnswers& ui, const std::vector<std::string>& openDocuments) {
    FileDialogRequest request;
    request.title = "Save Data File As Text [ Tab Delimited ]";
    request.defaultExtension = kTextExtension;
    request.initialName = TextExportName(documentTitle);
    request.filter = std::string("Text File (*.txt)|*.txt|") + kCsvFileType + "|*.csv||";
    request.overwritePrompt = true;
    std::string path;
    std::string lastChosen;
    bool csv = false;
    for (;;) {
        const auto answer = ui.SaveFileName(request);
        if (!answer || answer->path.empty())
            return false;
        lastChosen = answer->path;
        path = lastChosen;
        csv = answer->filterIndex == 1 || IsCsvName(path);
        const char* extension = csv ? kCsvExtension : kTextExtension;
        if (ExtensionOf(path).empty())
            path = WithExtension(path, extension);
        const std::string refusal = ExportRefusal(path, openDocuments);
        if (refusal.empty())
            break;
        Tell(ui, refusal, MsgCaption::Application, MsgIcon::Warning);
        request.initialName = WithExtension(path, extension);
    }
    // The chooser asked before replacing the name it gave back, not one with an extension
    // added.
    struct stat st;
    if (ExtensionOf(path) != ExtensionOf(lastChosen) && ::lstat(path.c_str(), &st) == 0 &&
        ui.Message(MessageRequest{
            FileTitleOf(path) + " already exists.\nDo you want to replace it?",
            MsgCaption::Application, MsgIcon::Warning, MsgButtons::YesNo}) != MsgAnswer::Yes) {
        return false;
    }
    std::vector<TextExportChange> changed;
    std::string text = csv ? ExportCardsAsCsv(cards) : ExportCardsAsText(cards, &changed);
    const auto error = WriteExportAndWipe(path, text);
    if (error) {
        Tell(ui, error->explained ? error->what : ExportErrorMessage(error->code, path),
             MsgCaption::Application, MsgIcon::Warning);
        return false;
    }
    if (!changed.empty())
        Tell(ui,
             TextExportChangesMessage(
                 changed, "A CSV export keeps these texts as they are: choose the file type \"" +
                              std::string(kCsvFileType) + "\" in Export To Text."),
             MsgCaption::Application, MsgIcon::Information);
    return true;
}

}  // namespace tessaline
