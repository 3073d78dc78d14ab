#include "bench_cards.h"

#include <cstdint>
#include <iterator>
#include <string>

#include "core/cards/card_collection.h"

namespace tessaline::bench {

namespace {

// A small deterministic generator.
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

}  // namespace

void FillCards(CCardCollection& cards, int count) {
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

}  // namespace tessaline::bench
