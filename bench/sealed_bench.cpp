// The sealed files: opening 100,000 cards sealed in either layout (small key settings, so
// that the seal itself is what is measured) against opening them plain, and the time the
// default key settings take to derive a key.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bench_cards.h"
#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/file/sealed_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "silent_answers.h"

namespace {

using namespace tessaline;

constexpr const char* kPassword = "correct horse battery";

// Answers the password prompt, and nothing else.
class PasswordAnswers : public bench::SilentAnswers {
public:
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        return std::string(kPassword);
    }
};

// A file of count cards in the first sealed layout (layout 1: a plain file sealed, which
// is read but no longer written) or the second (layout 2, what a save writes).
const std::vector<std::uint8_t>& SealedFile(int count, int layout) {
    static std::vector<std::uint8_t> files[3];
    static int made[3] = {};
    std::vector<std::uint8_t>& file = files[layout];
    if (made[layout] != count) {
        CCardCollection cards;
        bench::FillCards(cards, count);
        FileCipherState state;
        state.encryptOnSave = layout == 2;
        state.sealed = layout == 2;
        state.seal = SealSettings{1, kSealMemMin};
        state.encryptionPassword = kPassword;
        bench::SilentAnswers ui;
        file = BuildDataFileWithUser(cards, state, ui).value();
        if (layout == 1)
            file = SealBytes(file, kPassword, state.seal).value();
        made[layout] = count;
    }
    return file;
}

void OpenSealed(benchmark::State& state, int layout) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t>& file = SealedFile(count, layout);
    MemoryProfile profile;
    PasswordAnswers ui;
    const UserReadRequest request{ui, DateFormatIndex(profile), "bench.tse", {}};
    for (auto _ : state) {
        const ReadResult result = ReadDataFileWithUser(file, request);
        if (!result.ok || result.stoppedEarly)
            state.SkipWithError("the sealed file did not read");
        benchmark::DoNotOptimize(result.cards->List(0).Count());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}
void BM_OpenSealed(benchmark::State& state) {
    OpenSealed(state, 1);
}
void BM_OpenSealed2(benchmark::State& state) {
    OpenSealed(state, 2);
}
BENCHMARK(BM_OpenSealed)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSealed2)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Key derivation with the settings new files are sealed with; the payload is a bare
// header, so the derivation is all there is to it.
void BM_SealedKdfDefault(benchmark::State& state) {
    const std::vector<std::uint8_t> plain(22, 0);
    for (auto _ : state) {
        const auto sealed = SealBytes(plain, kPassword, kDefaultSealSettings);
        if (!sealed)
            state.SkipWithError("no key derived");
        benchmark::DoNotOptimize(sealed->data());
    }
}
BENCHMARK(BM_SealedKdfDefault)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
