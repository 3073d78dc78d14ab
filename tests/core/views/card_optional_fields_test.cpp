// The card editor's second page and History page, as rules: the tag line, the custom field
// rows kept, and the rows the History page lists.

#include <gtest/gtest.h>

#include "core/cards/card.h"
#include "core/views/card_history_rows.h"
#include "core/views/card_optional_fields.h"

namespace tessaline {
namespace {

TEST(CardOptionalFields, TagLineSplitsOnCommasSemicolonsAndSpaces) {
    const struct {
        const char* line;
        std::vector<std::string> tags;
    } cases[] = {
        {"", {}},
        {" , ;", {}},
        {"work", {"work"}},
        {"work, bank  work;home\tx", {"work", "bank", "home", "x"}},
        {"Work work", {"Work", "work"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseTagLine(c.line), c.tags) << c.line;
        EXPECT_EQ(ParseTagLine(TagLine(c.tags)), c.tags) << c.line;
    }
    EXPECT_EQ(TagLine({"a", "b"}), "a, b");
}

TEST(CardOptionalFields, EmptyCustomRowsAreDropped) {
    EXPECT_EQ(KeptCustomFields({{"", "", true}, {"PIN", "", false}, {"", "v", false}}),
              (std::vector<CustomField>{{"PIN", "", false}, {"", "v", false}}));
}

// Now first, then the earlier versions newest first; each says what it changed from the
// version before it; passwords are masked.
TEST(CardHistoryRows, NewestFirstWithWhatEachChanged) {
    CCard first;
    first.SetName("Bank");
    first.SetPassword("one");
    CCard second = first;
    second.SetPassword("two");
    second.SetTags({"money"});
    CCard now = second;
    now.SetName("Bank (old)");
    now.SetPassword("");
    now.SetHistory({first, second});

    const std::vector<HistoryRow> rows = HistoryRows(now);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].version, -1);
    EXPECT_EQ(rows[0].name, "Bank (old)");
    EXPECT_EQ(rows[0].password, "");
    EXPECT_EQ(rows[0].changed, "Name, Password");
    EXPECT_EQ(rows[1].version, 1);
    EXPECT_EQ(rows[1].password, "****");
    EXPECT_EQ(rows[1].changed, "Password, Tags");
    EXPECT_EQ(rows[2].version, 0);
    EXPECT_EQ(rows[2].changed, "");
    EXPECT_EQ(HistoryRows(first).size(), 1u);
    EXPECT_EQ(HistoryRows(first)[0].changed, "");
}

}  // namespace
}  // namespace tessaline
