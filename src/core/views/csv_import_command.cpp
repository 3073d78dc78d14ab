#include "core/views/csv_import_command.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "core/base/secure_wipe.h"
#include "core/file/safe_file.h"
#include "core/platform/user_answers.h"

namespace tessaline {

CsvImport ReadCsvFile(const std::string& path, CsvSource source, std::uint32_t now) {
    auto unreadable = [](std::string what) {
        CsvImport failed;
        failed.error = CsvImportError{0, std::move(what)};
        return failed;
    };
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return unreadable(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return unreadable("not a file that can be imported");
    if (static_cast<std::uint64_t>(st.st_size) > kMaxCsvFileSize) {
        return unreadable("too large to be the export of a password manager (" +
                          std::to_string(st.st_size / (1024 * 1024)) + " MB)");
    }
    FileError error;
    std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path, error);
    if (!data)
        return unreadable(std::strerror(error.code));
    const std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
    CsvImport imported = ImportCsv(text, source, now);
    SecureWipe(data->data(), data->size());
    return imported;
}

std::optional<CsvCardsChosen> AskForCsvCards(IUserAnswers& ui, std::uint32_t now) {
    FileDialogRequest request;
    request.title = "Import from Another Password Manager";
    request.defaultExtension = "csv";
    request.filter = "CSV Export (*.csv)|*.csv|All Files (*)|*||";
    request.mustExist = true;
    const std::optional<FileDialogAnswer> answer = ui.OpenFileName(request);
    if (!answer || answer->path.empty())
        return std::nullopt;

    const std::string name = FileTitleOf(answer->path);
    // A large file takes a while to read: the window keeps painting meanwhile.
    CsvImport read;
    ui.RunWhileBusy("Reading " + name + "...",
                    [&] { read = ReadCsvFile(answer->path, CsvSource::Auto, now); });
    if (read.error) {
        const std::string why = read.error->line == 0
                                    ? "Cannot read " + name + ": " + read.error->what + "."
                                    : "Line " + std::to_string(read.error->line) + " of " + name +
                                          " cannot be imported: " + read.error->what + ".";
        Tell(ui, why + "\n\nNo cards were imported.", MsgCaption::Application, MsgIcon::Warning);
        return std::nullopt;
    }
    CsvCardsChosen chosen{name, read.source, std::move(read.cards)};
    if (chosen.cards.empty()) {
        Tell(ui, chosen.fileName + " holds no entries to import.", MsgCaption::Application,
             MsgIcon::Information);
        return std::nullopt;
    }
    return chosen;
}

ImportTarget AskImportTarget(IUserAnswers& ui, const CsvCardsChosen& chosen,
                             const std::string& openTitle) {
    const std::string text = "Add the " + CardCountText(static_cast<int>(chosen.cards.size())) +
                             " of " + chosen.fileName + " to " + openTitle +
                             ", or make a new file of them?";
    const std::vector<std::string> buttons{"Add to " + openTitle, "New File", "Cancel"};
    switch (ui.AskWithButtons(
        MessageRequest{text, MsgCaption::Application, MsgIcon::Question, MsgButtons::Ok}, buttons,
        0)) {
        case 0:
            return ImportTarget::OpenFile;
        case 1:
            return ImportTarget::NewFile;
        default:
            return ImportTarget::Cancel;
    }
}

std::string CsvImportedMessage(const CsvCardsChosen& chosen) {
    const int count = static_cast<int>(chosen.cards.size());
    std::string text = CardCountText(count) + (count == 1 ? " was" : " were") + " imported from " +
                       chosen.fileName;
    if (chosen.source != CsvSource::Auto)
        text += " (" + std::string(CsvSourceTitle(chosen.source)) + " export)";
    text += ":\n";
    for (const std::string& line : CategoryCountLines(CountPerCategory(chosen.cards)))
        text += "\n" + line;
    text += "\n\nSave the file to keep them.";
    return text;
}

}  // namespace tessaline
