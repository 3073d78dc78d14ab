// A column sort with each card's key made once orders the rows exactly as comparing the
// cards' texts pair by pair does, in both directions, ties kept in place.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/cards/card.h"
#include "core/views/card_list_model.h"

namespace tessaline {
namespace {

TEST(SortKeys, KeyedSortOrdersAsThePairwiseComparison) {
    const std::vector<std::string> names = {"beta",
                                            "Alpha",
                                            "alpha",
                                            "\xC9t\xE9",
                                            "\xE9t\xE9",
                                            "zeta",
                                            "Z",
                                            "\x8A"
                                            "econd",
                                            "\x9A"
                                            "econd",
                                            "",
                                            "alphabet",
                                            "ALPHA",
                                            "b",
                                            "\xFF"
                                            "y",
                                            "\x9F"
                                            "Y"};
    std::vector<std::unique_ptr<CCard>> owned;
    std::vector<CCard*> rows;
    for (std::size_t i = 0; i < names.size(); ++i) {
        owned.push_back(std::make_unique<CCard>());
        owned.back()->SetName(names[i]);
        owned.back()->SetUserId(names[names.size() - 1 - i]);
        rows.push_back(owned.back().get());
    }
    for (int column : {kColumnName, kColumnUserId}) {
        for (int click = 0; click < 2; ++click) {
            std::vector<CCard*> expected = rows;
            const bool descending = !SortDescending();
            std::stable_sort(expected.begin(), expected.end(), [&](const CCard* a, const CCard* b) {
                return CompareCardsForColumn(column, descending, *a, *b) < 0;
            });
            SortRowsByColumn(rows, column);
            EXPECT_EQ(rows, expected) << column << " " << descending;
        }
    }
}

}  // namespace
}  // namespace tessaline
