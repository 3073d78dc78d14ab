// export: every card as tab-delimited text (or as CSV in the layout KeePassXC reads), to
// the standard output or to a new file.

#include <sys/stat.h>

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "core/base/secure_wipe.h"
#include "core/file/safe_file.h"
#include "core/views/csv_export.h"
#include "core/views/export_command.h"
#include "core/views/text_export.h"

namespace tessaline::cli {

int RunExport(const CliRequest& request, CliContext& ctx) {
    // "-" is the standard output, as "import -" reads the standard input; a file of that
    // name is written as "./-".
    std::optional<std::string> output = request.output;
    if (output && *output == "-")
        output.reset();
    if (output && !request.force) {
        struct stat st;
        if (::lstat(output->c_str(), &st) == 0) {
            ctx.ErrorAbout(*output, "already exists; add --force to replace it");
            return kExitFailed;
        }
    }
    std::unique_ptr<OpenedFile> file = OpenDataFile(request.files[0], ctx);
    if (!file)
        return kExitFailed;
    // Part of a damaged file goes out only when asked for: a failure writes nothing.
    if (file->Damaged() && !request.partial) {
        ctx.ErrorAbout(file->path,
                       "nothing was written; add --partial to export the cards that could "
                       "be read");
        return kExitFailed;
    }

    std::vector<TextExportChange> changed;
    SecretText text(request.csv ? ExportCardsAsCsv(file->Cards())
                                : ExportCardsAsText(file->Cards(), &changed));
    if (!output) {
        ctx.out.write(text.Get().data(), static_cast<std::streamsize>(text.Get().size()));
    } else if (std::optional<FileError> failed =
                   WriteFileSafely(*output, text.Get(), WriteOptions{.ownerOnly = true})) {
        ctx.Error(failed->what);
        ctx.ErrorAbout(*output, "nothing was written");
        return kExitFailed;
    }
    if (!changed.empty()) {
        ctx.Error("note: " +
                  TextExportChangesMessage(changed, "export --csv keeps these texts as they are."));
    }
    return kExitOk;
}

}  // namespace tessaline::cli
