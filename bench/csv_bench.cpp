// Importing a CSV export with one very long field (1 MiB and 4 MiB). The cost must grow
// with the field's length: four times the field, about four times the time.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "core/views/csv_import.h"

namespace {

using namespace tessaline;

// A KeePassXC export whose one entry has a note of mebibytes MiB, quoted.
std::string ExportWithLongNote(int mebibytes) {
    std::string text =
        "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n"
        "\"Root\",\"long\",\"user\",\"secret\",\"https://a.example\",\"";
    const std::size_t size = static_cast<std::size_t>(mebibytes) << 20;
    for (std::size_t i = 0; i < size; ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    text += "\"\n";
    return text;
}

void BM_CsvLongField(benchmark::State& state) {
    const std::string text = ExportWithLongNote(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        // The note is too long for a card: the whole field is read before that is found.
        const CsvImport imported = ImportCsv(text, CsvSource::Auto, 0);
        if (!imported.error)
            state.SkipWithError("a note longer than a card holds was taken");
        benchmark::DoNotOptimize(imported.cards.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_CsvLongField)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
