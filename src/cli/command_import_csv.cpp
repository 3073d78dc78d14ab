// import-csv: make a data file from the CSV export of another password manager, or add
// its entries to an existing data file.

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/import_into.h"
#include "core/prefs/date_format.h"
#include "core/views/csv_import_command.h"

namespace tessaline::cli {

namespace {

bool ReadCsvSource(CsvSource source, const std::string& path, CliContext& ctx,
                   std::vector<CCard>& cards) {
    CsvImport read = ReadCsvFile(path, source, CurrentCardTime());
    if (read.error) {
        if (read.error->line == 0) {
            ctx.ErrorAbout(path, read.error->what);
        } else {
            ctx.ErrorAbout(path, "line " + std::to_string(read.error->line) + ": " +
                                     read.error->what +
                                     (read.unknownLayout ? " (name it with --format)" : "") +
                                     "; nothing was imported");
        }
        return false;
    }
    cards = std::move(read.cards);
    return true;
}

}  // namespace

int RunImportCsv(const CliRequest& request, CliContext& ctx) {
    const std::optional<CsvSource> source = CsvSourceFromName(request.csvFormat);
    if (!source) {
        ctx.Error("unknown --format " + request.csvFormat);
        return kExitUsage;
    }
    return RunImportFrom(
        request, ctx,
        ImportSource{[&](const std::string& path, CliContext& c, std::vector<CCard>& cards) {
                         return ReadCsvSource(*source, path, c, cards);
                     },
                     true});
}

}  // namespace tessaline::cli
