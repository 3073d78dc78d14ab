// The search compares the texts as the list shows them, with Unicode case folding, and
// Export To Text writes them in UTF-8 as shown: the bytes a card keeps (Windows-1252 or
// UTF-8) make no difference.

#include <gtest/gtest.h>

#include "core/cards/card_collection.h"
#include "core/cards/text_encoding.h"
#include "core/views/text_export.h"
#include "core/views/text_import.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::AddCard;

std::string Typed(const std::u32string& text) {
    return EncodeTypedText(text);
}

TEST(SearchFolding, FindsWhatTheListShowsWhateverTheBytes) {
    CCardCollection cards;
    AddCard(cards, {.code = 0, .name = "cp1252", .note = "Caf\xE9 Central"});  // Windows-1252
    AddCard(cards, {.code = 1, .name = "utf8", .note = "CAF\xC3\x89 NOIR"});   // UTF-8 "CAFÉ"
    AddCard(cards, {.code = 2,
                    .name = "Stra\xDF"
                            "e"});  // Straße
    AddCard(cards,
            {.code = 3, .name = "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"});  // пароль
    AddCard(cards, {.code = 4, .name = "\xCE\xB1\xCE\xB8\xCE\xB7\xCE\xBD\xCE\xB1"});  // αθηνα
    AddCard(cards, {.code = 5, .name = "plain cafe"});
    struct Case {
        std::string search;  // the bytes the search box hands over (typed text)
        std::vector<std::string> found;
    };
    for (const Case& c : std::vector<Case>{
             {Typed(U"caf\u00e9"), {"cp1252", "utf8"}},
             {Typed(U"CAF\u00c9"), {"cp1252", "utf8"}},
             {"caf\xC3\xA9", {"cp1252", "utf8"}},  // the same text as UTF-8 (tessaline-cli)
             {"cafe", {"plain cafe"}},             // no accent is dropped
             {"STRASSE",
              {"Stra\xDF"
               "e"}},  // ß folds to ss
             {Typed(U"\u041f\u0410\u0420\u041e\u041b\u042c"),
              {"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"}},
             {Typed(U"\u0391\u0398\u0397\u039d\u0391"),
              {"\xCE\xB1\xCE\xB8\xCE\xB7\xCE\xBD\xCE\xB1"}},
             {"NOIR", {"utf8"}},
             {"tea", {}},
         }) {
        cards.GatherAndSearch(c.search);
        std::vector<std::string> found;
        for (const CCard* card : cards.SearchResults())
            found.push_back(card->Name());
        EXPECT_EQ(found, c.found) << c.search;
    }
}

TEST(SearchFolding, ExportWritesEveryTextInUtf8AsShown) {
    CCardCollection cards;
    AddCard(cards, {.code = 0,
                    .name = "Caf\xE9",          // Windows-1252
                    .user = "\x80uro",          // € in Windows-1252
                    .password = "p\xC3\xA4ss",  // already UTF-8
                    .note = "na\xEFve\r\nline"});
    EXPECT_EQ(ExportCardsAsText(cards),
              "0\tCaf\xC3\xA9\t\t\xE2\x82\xACuro\tp\xC3\xA4ss\tna\xC3\xAFve  line\r\n");
}

TEST(SearchFolding, ImportStoresTextAsTypedTextIsStored) {
    // UTF-8 from the export; a field of an older export in Windows-1252; a field that
    // needs UTF-8.
    const TextImport parsed =
        ParseExportedText("0\tCaf\xC3\xA9\t\t\xE2\x82\xACuro\tp\xE4ss\t\xD0\xBF\xD0\xB0\r\n", 0);
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.cards.size(), 1u);
    const CCard& card = parsed.cards[0];
    EXPECT_EQ(card.Name(), "Caf\xE9");
    EXPECT_EQ(card.UserId(), "\x80uro");
    EXPECT_EQ(card.Password(), "p\xE4ss");
    EXPECT_EQ(card.Note(), "\xD0\xBF\xD0\xB0");
    // And the export gives the same text back.
    CCardCollection again;
    again.AddCardToCategory(0, again.Adopt(card));
    EXPECT_EQ(ExportCardsAsText(again),
              "0\tCaf\xC3\xA9\t\t\xE2\x82\xACuro\tp\xC3\xA4ss\t\xD0\xBF\xD0\xB0\r\n");
}

}  // namespace
}  // namespace tessaline
