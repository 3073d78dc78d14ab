// The sealed file: opening 100,000 cards sealed (small key settings, so that the seal
// itself is what is measured) against opening them plain, and the time the default key
// settings take to derive a key.

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

const std::vector<std::uint8_t>& SealedFile(int count) {
    static std::vector<std::uint8_t> file;
    static int made = 0;
    if (made != count) {
        CCardCollection cards;
        bench::FillCards(cards, count);
        FileCipherState state;
        state.encryptOnSave = true;
        state.sealed = true;
        state.seal = SealSettings{1, kSealMemMin};
        state.encryptionPassword = kPassword;
        bench::SilentAnswers ui;
        file = BuildDataFileWithUser(cards, state, ui).value();
        made = count;
    }
    return file;
}

void BM_OpenSealed(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<std::uint8_t>& file = SealedFile(count);
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
BENCHMARK(BM_OpenSealed)->Arg(100'000)->Unit(benchmark::kMillisecond);

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
