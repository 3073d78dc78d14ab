// Opening, saving, exporting and searching documents of 1,000 to 100,000 cards. The
// data files are built once per size, outside the timed loops; each benchmark counts
// cards as its items, so the per-card cost of each size can be compared directly.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_cards.h"
#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/views/text_export.h"
#include "silent_answers.h"

namespace {

using namespace tessaline;
using bench::FillCards;
using bench::SilentAnswers;

// The documents, built on first use and kept for the whole run.
struct Document {
    CCardCollection cards;
    std::vector<std::uint8_t> plainFile;
};

Document& DocumentOf(int count) {
    static std::map<int, std::unique_ptr<Document>> documents;
    std::unique_ptr<Document>& doc = documents[count];
    if (!doc) {
        doc = std::make_unique<Document>();
        FillCards(doc->cards, count);
        FileCipherState state;
        SilentAnswers ui;
        doc->plainFile = BuildDataFileWithUser(doc->cards, state, ui).value();
    }
    return *doc;
}

void SetCards(benchmark::State& state, int count) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}

void BM_OpenPlain(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t>& file = DocumentOf(count).plainFile;
    MemoryProfile profile;
    SilentAnswers ui;
    const UserReadRequest request{ui, DateFormatIndex(profile), "bench.tsf", {}};
    for (auto _ : state) {
        const ReadResult result = ReadDataFileWithUser(file, request);
        if (!result.ok || result.stoppedEarly)
            state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(result.cards->List(0).Count());
    }
    SetCards(state, count);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_OpenPlain)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_SavePlain(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const Document& doc = DocumentOf(count);
    SilentAnswers ui;
    for (auto _ : state) {
        FileCipherState cipher;
        std::optional<std::vector<std::uint8_t>> bytes =
            BuildDataFileWithUser(doc.cards, cipher, ui);
        if (!bytes)
            state.SkipWithError("the file was not built");
        benchmark::DoNotOptimize(bytes->data());
    }
    SetCards(state, count);
}
BENCHMARK(BM_SavePlain)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_ExportText(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const Document& doc = DocumentOf(count);
    for (auto _ : state) {
        std::string text = ExportCardsAsText(doc.cards);
        benchmark::DoNotOptimize(text.data());
    }
    SetCards(state, count);
}
BENCHMARK(BM_ExportText)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_GatherAndSearch(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    CCardCollection& cards = DocumentOf(count).cards;
    for (auto _ : state) {
        cards.GatherAndSearch("Garden");  // about one card in nine
        benchmark::DoNotOptimize(cards.SearchResults().Count());
    }
    SetCards(state, count);
}
BENCHMARK(BM_GatherAndSearch)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
