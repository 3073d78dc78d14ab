// Documents whose cards carry ten earlier versions each, in the second sealed layout
// (small key settings, so that the payload is what is measured): opening, saving,
// searching and sorting 10,000 and 100,000 of them, and sorting 100,000 without history
// for comparison. History must not slow the list.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_cards.h"
#include "core/cards/card_collection.h"
#include "core/cards/categories.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/views/card_list_model.h"
#include "silent_answers.h"

namespace {

using namespace tessaline;
using bench::SilentAnswers;

constexpr const char* kPassword = "correct horse battery";
constexpr int kVersions = 10;

class PasswordAnswers : public SilentAnswers {
public:
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        return std::string(kPassword);
    }
};

FileCipherState SealedState() {
    FileCipherState state;
    state.encryptOnSave = true;
    state.sealed = true;
    state.seal = SealSettings{1, kSealMemMin};
    state.encryptionPassword = kPassword;
    return state;
}

struct Document {
    CCardCollection cards;
    std::vector<std::uint8_t> sealedFile;
};

// count cards; with history, each with kVersions earlier versions (another password each).
Document& DocumentOf(int count, bool history) {
    static std::map<std::pair<int, bool>, std::unique_ptr<Document>> documents;
    std::unique_ptr<Document>& doc = documents[{count, history}];
    if (!doc) {
        doc = std::make_unique<Document>();
        bench::FillCards(doc->cards, count);
        if (history) {
            doc->cards.ForEachOwnedCard([](CCard& card) {
                std::vector<CCard> versions(kVersions, card);
                for (int v = 0; v < kVersions; ++v)
                    versions[static_cast<std::size_t>(v)].SetPassword(card.Password() + "-" +
                                                                      std::to_string(v));
                card.SetHistory(std::move(versions));
            });
        }
        FileCipherState state = SealedState();
        SilentAnswers ui;
        doc->sealedFile = BuildDataFileWithUser(doc->cards, state, ui).value();
    }
    return *doc;
}

void SetCards(benchmark::State& state, int count) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}

void BM_OpenSealed2History(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t>& file = DocumentOf(count, true).sealedFile;
    MemoryProfile profile;
    PasswordAnswers ui;
    const UserReadRequest request{ui, DateFormatIndex(profile), "bench.tse", {}};
    for (auto _ : state) {
        const ReadResult result = ReadDataFileWithUser(file, request);
        if (!result.ok)
            state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(result.cards->List(0).Count());
    }
    SetCards(state, count);
}
BENCHMARK(BM_OpenSealed2History)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_SaveSealed2History(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const Document& doc = DocumentOf(count, true);
    SilentAnswers ui;
    for (auto _ : state) {
        FileCipherState cipher = SealedState();
        std::optional<std::vector<std::uint8_t>> bytes =
            BuildDataFileWithUser(doc.cards, cipher, ui);
        if (!bytes)
            state.SkipWithError("the file was not built");
        benchmark::DoNotOptimize(bytes->data());
    }
    SetCards(state, count);
}
BENCHMARK(BM_SaveSealed2History)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_SearchHistory(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    CCardCollection& cards = DocumentOf(count, true).cards;
    for (auto _ : state) {
        cards.GatherAndSearch("Garden");
        benchmark::DoNotOptimize(cards.SearchResults().Count());
    }
    SetCards(state, count);
}
BENCHMARK(BM_SearchHistory)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Sorting every card of the document by name, as a column click on the whole list does.
void SortAll(benchmark::State& state, bool history) {
    const int count = static_cast<int>(state.range(0));
    CCardCollection& cards = DocumentOf(count, history).cards;
    cards.EmptyAllCards();
    cards.GatherAllCards();
    const std::vector<CCard*> gathered = cards.AllCards();
    for (auto _ : state) {
        std::vector<CCard*> rows = gathered;
        SortRows(rows, kColumnName, false);
        benchmark::DoNotOptimize(rows.data());
    }
    SetCards(state, count);
}
void BM_SortHistory(benchmark::State& state) {
    SortAll(state, true);
}
void BM_SortNoHistory(benchmark::State& state) {
    SortAll(state, false);
}
BENCHMARK(BM_SortHistory)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNoHistory)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
