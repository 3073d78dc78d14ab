// Feeds arbitrary bytes to the data file reader. Whatever a file holds, reading must
// neither crash nor read outside its data; and whatever it read must survive a save
// and a second read unchanged (a mismatch aborts, so the fuzzer reports it). Sealed
// files are read only with small key settings, so that every run stays fast; a save
// seals in the second sealed layout, which keeps texts as the characters they show.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/cards/text_encoding.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/prefs/profile_keys.h"
#include "fuzz_input.h"
#include "quiet_answers.h"

namespace {

using namespace tessaline;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "read_data_file round trip: %s\n", what);
    std::abort();
}

// Whether texts compare as their bytes (the older layouts) or as what they show (the
// second sealed layout stores the characters, not the bytes).
bool gCompareShown = false;

bool SameText(const std::string& a, const std::string& b) {
    return gCompareShown ? ShownAsUtf8(a) == ShownAsUtf8(b) : a == b;
}

bool SameStoredFields(const CCard& a, const CCard& b) {
    return a.Category() == b.Category() && a.Attributes() == b.Attributes() &&
           a.SyncByte() == b.SyncByte() && a.ModificationTime() == b.ModificationTime() &&
           a.RecordId() == b.RecordId() && SameText(a.Name(), b.Name()) &&
           SameText(a.Address(), b.Address()) && SameText(a.UserId(), b.UserId()) &&
           SameText(a.Password(), b.Password()) && SameText(a.Note(), b.Note());
}

// A deleted card comes back with what the handheld's sync needs and nothing else.
bool SameSyncFields(const CCard& a, const CCard& b) {
    return a.Category() == b.Category() && a.Attributes() == b.Attributes() &&
           a.SyncByte() == b.SyncByte() && a.ModificationTime() == b.ModificationTime() &&
           a.RecordId() == b.RecordId() && SameText(a.Name(), b.Name()) && b.Address().empty() &&
           b.UserId().empty() && b.Password().empty() && b.Note().empty();
}

template <typename Same>
bool SameList(const CCategoryList& a, const CCategoryList& b, Same same) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i) {
        if (!same(*a.CardAt(i), *b.CardAt(i)))
            return false;
    }
    return true;
}

bool SameCards(const CCardCollection& a, const CCardCollection& b) {
    for (int code = 0; code < kCategoryCount; ++code) {
        if (!SameList(a.List(code), b.List(code), SameStoredFields))
            return false;
    }
    return SameList(a.DeletedList(), b.DeletedList(), SameSyncFields);
}

template <typename Fn>
bool AnyCard(const CCardCollection& cards, Fn fn) {
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const CCard* card : cards.List(code)) {
            if (fn(*card))
                return true;
        }
    }
    for (const CCard* card : cards.DeletedList()) {
        if (fn(*card))
            return true;
    }
    return false;
}

template <typename Fn>
bool AnyText(const CCard& card, Fn fn) {
    return fn(card.Name()) || fn(card.Address()) || fn(card.UserId()) || fn(card.Password()) ||
           fn(card.Note());
}

// The key settings the fuzzer seals with and reads at most.
constexpr SealSettings kFuzzSeal{1, kSealMemMin};
constexpr SealSettings kFuzzSealMax{2, std::uint64_t{64} << 10};

// The writer refuses texts the older layouts cannot hold (the second sealed layout holds
// any); of a deleted card only the name is written. (Encrypted files over the limit of
// the compatible layout are sealed instead: the quiet user says yes.)
bool WriterMustRefuse(const CCardCollection& cards, bool sealed) {
    if (sealed)
        return false;
    auto tooLong = [](const std::string& t) { return t.size() > kMaxTextLength; };
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const CCard* card : cards.List(code)) {
            if (AnyText(*card, tooLong))
                return true;
        }
    }
    for (const CCard* card : cards.DeletedList()) {
        if (tooLong(card->Name()))
            return true;
    }
    return false;
}

// Every layout ends a text at its first zero byte.
bool HoldsZeroByte(const CCardCollection& cards) {
    return AnyCard(cards, [](const CCard& card) {
        return AnyText(card,
                       [](const std::string& t) { return t.find('\0') != std::string::npos; });
    });
}

void CheckRoundTrip(const CCardCollection& cards, const FileCipherState& readState,
                    const MemoryProfile& profile) {
    FileCipherState state = readState;
    if (!state.sealed)
        state.seal = kFuzzSeal;
    fuzz::QuietAnswers silent;
    const bool sealedWanted = state.encryptOnSave && state.sealed;
    const std::optional<std::vector<std::uint8_t>> saved =
        BuildDataFileWithUser(cards, state, silent);
    const bool mustRefuse = WriterMustRefuse(cards, sealedWanted);
    if (!saved) {
        if (!mustRefuse)
            Fail("the writer refused cards it can hold");
        return;
    }
    if (mustRefuse)
        Fail("the writer wrote cards it must refuse");

    const bool sealed = state.encryptOnSave && state.sealed;
    gCompareShown = sealed;
    fuzz::QuietAnswers answers(std::string(state.encryptionPassword.View()));
    const UserReadRequest request{answers, DateFormatIndex(profile), "round trip", {}};
    ReadResult result = ReadDataFileWithUser(*saved, request);
    const CCardCollection& again = *result.cards;
    FileCipherState& againState = result.state;
    if (!result.ok || result.format != (sealed ? FileFormat::Sealed : FileFormat::MacSyncVersion)) {
        Fail("saved file not read");
    }
    if (result.ReadInPart())
        Fail("saved file read as damaged (it would open read-only)");
    if (result.unreadBytes > (state.encryptOnSave && !sealed ? 7u : 0u))
        Fail("bytes left after the cards");
    if (answers.Prompts() != (state.encryptOnSave ? 1 : 0))
        Fail("password prompt count");
    if (againState.encryptOnSave != state.encryptOnSave ||
        againState.encryptionPassword != state.encryptionPassword ||
        againState.headerValue18 != state.headerValue18 ||
        (state.encryptOnSave && againState.sealed != state.sealed) ||
        (sealed && againState.seal != state.seal)) {
        Fail("file password state changed");
    }
    if (state.encryptOnSave && !sealed && againState.checkValue != state.checkValue)
        Fail("check value");
    if (!SameCards(cards, again))
        Fail("cards differ after save and read");

    const std::optional<std::vector<std::uint8_t>> resaved =
        BuildDataFileWithUser(again, againState, silent);
    // A seal takes a new salt and nonce every time: only its size and header repeat.
    const bool same =
        resaved && (sealed ? resaved->size() == saved->size() &&
                                 std::equal(saved->begin(), saved->begin() + 32, resaved->begin())
                           : *resaved == *saved);
    if (!same)
        Fail("second save differs from the first");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    std::span<const std::uint8_t> rest(data + 1, size - 1);

    std::optional<std::string> password;
    switch (control & 3) {
        case fuzz::kAnswerCancel:
            break;
        case fuzz::kAnswerEmpty:
            password.emplace();
            break;
        case fuzz::kAnswerFixed:
            password.emplace(fuzz::kFixedPassword);
            break;
        case fuzz::kAnswerFromInput: {
            const std::size_t n = rest.empty() ? 0 : rest[0];
            if (rest.size() < 1 + n)
                return 0;
            password.emplace(reinterpret_cast<const char*>(rest.data() + 1), n);
            rest = rest.subspan(1 + n);
            break;
        }
    }

    // Key derivation with large settings would make each run take seconds.
    if (HasSealedMagic(rest)) {
        const std::optional<SealedHeader> header = ParseSealedHeader(rest);
        if (header && (header->settings.opsLimit > kFuzzSealMax.opsLimit ||
                       header->settings.memLimit > kFuzzSealMax.memLimit)) {
            return 0;
        }
    }

    MemoryProfile profile;
    profile.WriteInt(prefs::kInternetSection, prefs::kDateFormat, control >> 4);
    fuzz::QuietAnswers answers(password);
    const UserReadRequest request{answers, DateFormatIndex(profile), "fuzz.tse", {}};
    const ReadResult result = ReadDataFileWithUser(rest, request);
    if (result.ok && HoldsZeroByte(*result.cards))
        Fail("a text read holds a zero byte");
    if (!result.ok &&
        (result.cards->LiveCardCount() != 0 || result.cards->DeletedList().Count() != 0))
        Fail("a file not read still gives cards");
    if (result.ok)
        CheckRoundTrip(*result.cards, result.state, profile);
    return 0;
}
