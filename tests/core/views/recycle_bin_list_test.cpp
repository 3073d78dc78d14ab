// What the recycle bin's list shows: its cards, counted, the time each went there in the
// date column, ordered by that time when the column is clicked.

#include <gtest/gtest.h>

#include "core/cards/card_collection.h"
#include "core/platform/profile.h"
#include "core/views/card_history_rows.h"
#include "core/views/card_list_model.h"

namespace tessaline {
namespace {

TEST(RecycleBinList, ListsCountsAndOrdersByDeletionTime) {
    CCardCollection cards;
    auto recycled = [&](const char* name, std::int64_t recycledMs, std::uint32_t modified) {
        CCard card;
        card.SetName(name);
        card.SetCategory(kBankAccounts);
        card.SetRecycledMs(recycledMs);
        card.SetModificationTime(modified);
        CCard* c = cards.Adopt(std::move(card));
        cards.RecycleBin().AddCard(c);
        return c;
    };
    CCard* early = recycled("b early", 1'000'000, 900);
    CCard* late = recycled("a late", 2'000'000, 100);
    CCard live;
    live.SetName("live");
    cards.AddCardToCategory(kBankAccounts, cards.Adopt(live));

    std::vector<CCard*> rows = ListCategoryText(cards, kRecycleBin);
    EXPECT_EQ(rows, (std::vector<CCard*>{late, early}));  // by name at first
    EXPECT_EQ(CountOfCategoryText(cards, kRecycleBin), 2);
    EXPECT_TRUE(ShowsCategoryColumn(kRecycleBin));
    SortRows(rows, kColumnModified, false, true);
    EXPECT_EQ(rows, (std::vector<CCard*>{early, late}));
    SortRows(rows, kColumnModified, true, true);
    EXPECT_EQ(rows, (std::vector<CCard*>{late, early}));

    MemoryProfile profile;
    EXPECT_EQ(RecycledCellText(*late, kColumnModified, profile), LocalTimeText(2'000'000));
    EXPECT_EQ(RecycledCellText(*late, kColumnCategory, profile), "Bank Accounts");
    EXPECT_FALSE(LocalTimeText(2'000'000).empty());
    EXPECT_EQ(LocalTimeText(0), "");
}

}  // namespace
}  // namespace tessaline
