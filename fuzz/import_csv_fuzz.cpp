// Feeds arbitrary bytes to the CSV import, read as every program's export in turn.
// Whatever the file holds, the import must neither crash nor make a card a data file
// cannot store; and the cards it made must come back unchanged from their own CSV
// export (a mismatch aborts, so the fuzzer reports it).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/cards/card_collection.h"
#include "core/file/data_file.h"
#include "core/views/csv_export.h"
#include "core/views/csv_import.h"

namespace {

using namespace tessaline;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "import_csv: %s\n", what);
    std::abort();
}

bool Storable(const CCard& card) {
    for (const std::string* text :
         {&card.Name(), &card.Address(), &card.UserId(), &card.Password(), &card.Note()}) {
        if (text->size() > kMaxTextLength || text->find('\0') != std::string::npos)
            return false;
    }
    return card.Category() < kCategoryCount;
}

bool Same(const CCard& a, const CCard& b) {
    return a.Category() == b.Category() && a.Name() == b.Name() && a.Address() == b.Address() &&
           a.UserId() == b.UserId() && a.Password() == b.Password() && a.Note() == b.Note();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (CsvSource source : {CsvSource::Auto, CsvSource::KeePassXc, CsvSource::Chromium,
                             CsvSource::Firefox, CsvSource::Bitwarden}) {
        const CsvImport imported = ImportCsv(text, source, 1);
        if (imported.error) {
            if (!imported.cards.empty())
                Fail("cards left after a refusal");
            continue;
        }
        CCardCollection cards;
        for (const CCard& card : imported.cards) {
            if (!Storable(card))
                Fail("a card a data file cannot store");
            cards.AddCardToCategory(card.Category(), cards.Adopt(card));
        }
        const CsvImport back = ImportCsv(ExportCardsAsCsv(cards), CsvSource::Auto, 1);
        if (back.error)
            Fail("its own export was refused");
        std::size_t i = 0;
        for (int code : kExportOrder) {
            for (const CCard* card : cards.List(code)) {
                if (i >= back.cards.size() || !Same(*card, back.cards[i]))
                    Fail("a card changed on its way out and back in");
                ++i;
            }
        }
        if (i != back.cards.size())
            Fail("the export read back holds other cards");
    }
    return 0;
}
