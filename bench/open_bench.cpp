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

#include "cards/card_collection.h"
#include "file/data_file.h"
#include "platform/profile.h"
#include "platform/user_answers.h"
#include "views/text_export.h"

namespace {

using namespace tessaline;

// Answers nothing: a plain file never asks.
class Silent : public IUserAnswers {
public:
    MsgAnswer Message(const MessageSpec&) override { return MsgAnswer::Ok; }
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<FileEncryptionAnswer> FileEncryption(bool, const std::string&,
                                                       const std::string&) override {
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest&) override {
        return std::nullopt;
    }
};

// A small deterministic generator, so every run measures the same documents.
class Lcg {
public:
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }

private:
    std::uint64_t state_ = 0x7E55A11Eu;
};

const char* const kWords[] = {"mail",   "bank",   "shop",  "news",   "cloud",  "forum",
                              "travel", "office", "games", "photos", "music",  "school",
                              "health", "energy", "phone", "market", "garden", "library"};
const char* const kDomains[] = {"example.com", "example.org", "example.net", "mail.test"};

std::string Word(Lcg& rng) {
    return kWords[rng.Below(std::size(kWords))];
}

std::string Secret(Lcg& rng, std::size_t length) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789!#%&*+-=?@";
    std::string s;
    for (std::size_t i = 0; i < length; ++i)
        s += kAlphabet[rng.Below(sizeof kAlphabet - 1)];
    return s;
}

// A card as people keep them: a name, an address or account number, a user ID, a
// password and often a short note.
CCard MakeCard(Lcg& rng, int index) {
    CCard card;
    const int code = static_cast<int>(rng.Below(kCategoryCount));
    const std::string word = Word(rng);
    const std::string domain = kDomains[rng.Below(std::size(kDomains))];
    card.SetCategory(static_cast<std::uint8_t>(code));
    card.SetName(word + " " + Word(rng) + " " + std::to_string(index));
    card.SetAddress(code <= kOnlineBanking ? "https://www." + word + "." + domain + "/login"
                                           : std::to_string(rng.Next()));
    card.SetUserId(word + std::to_string(rng.Below(10000)) + "@" + domain);
    card.SetPassword(Secret(rng, 8 + rng.Below(9)));
    if (rng.Below(3) != 0) {
        card.SetNote("Changed with the " + Word(rng) + " account; security question: " + Word(rng) +
                     ".\r\nPIN in the blue folder.");
    }
    card.SetAttributes(static_cast<std::uint8_t>(rng.Below(4)));
    card.SetModificationTime(3'100'000'000u + rng.Below(700'000'000u));
    card.SetRecordId(rng.Below(2) ? 0 : rng.Next());
    if (rng.Below(100) == 0)
        card.SetDeleted(true);
    return card;
}

void Fill(CCardCollection& cards, int count) {
    Lcg rng;
    for (int i = 0; i < count; ++i) {
        CCard card = MakeCard(rng, i);
        const bool deleted = card.Deleted();
        const int code = card.Category();
        CCard* kept = cards.Adopt(std::move(card));
        if (deleted) {
            cards.AddToDeletedList(kept);
        } else {
            cards.AddCardToCategory(code, kept);
        }
    }
}

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
        Fill(doc->cards, count);
        FileCipherState state;
        Silent ui;
        doc->plainFile = BuildDataFile(doc->cards, state, ui).value();
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
    Silent ui;
    const ReadRequest request{ui, profile, "bench.tsf", {}};
    for (auto _ : state) {
        CCardCollection cards;
        FileCipherState cipher;
        const ReadResult result = ReadDataFile(file, request, cards, cipher);
        if (!result.ok || result.stoppedEarly)
            state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(cards.List(0).Count());
    }
    SetCards(state, count);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_OpenPlain)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_SavePlain(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const Document& doc = DocumentOf(count);
    Silent ui;
    for (auto _ : state) {
        FileCipherState cipher;
        std::optional<std::vector<std::uint8_t>> bytes = BuildDataFile(doc.cards, cipher, ui);
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
