#include <gtest/gtest.h>

#include "core/cards/card.h"
#include "core/cards/categories.h"

namespace tessaline {
namespace {

TEST(Categories, DisplayNamesAndCodesRoundTrip) {
    for (int code = 0; code < kCategoryCount; ++code) {
        EXPECT_EQ(CategoryCodeOfName(CategoryDisplayName(code)), code);
    }
    EXPECT_EQ(CategoryDisplayName(9), "ATM/PIN Cards");
    EXPECT_EQ(CategoryDisplayName(13), "Membership Numbers");
}

TEST(Categories, UnknownCodesNameWwwSitesAndUnknownNamesGiveMinusOne) {
    for (int code : {-1, 15, 100, 255})
        EXPECT_EQ(CategoryDisplayName(code), "WWW Sites");
    for (const char* name : {"Show All", "Search Results", "", "www sites", "WWW Pages",
                             "Password Manager", "Newsgroups "}) {
        EXPECT_EQ(CategoryCodeOfName(name), -1) << name;
    }
}

TEST(Categories, LabelsAndWidth) {
    struct Case {
        int code;
        std::array<const char*, 4> labels;
        int width;
    };
    const Case cases[] = {
        {0, {"Name", "URL", "User ID", "Password"}, 8},
        {6, {"Full Name", "POP Server", "UserID", "Password"}, 10},
        {7, {"Bank", "Branch Number", "Account Holder", "Account Number"}, 14},
        {10, {"Person", "Type of Data", "Date/Place Issued", "Number"}, 17},
        {13, {"Organisation", "Home Page", "Name", "Number"}, 12},
    };
    for (const Case& c : cases) {
        CategoryLabels labels;
        EXPECT_EQ(LabelsByCode(c.code, labels), c.width) << c.code;
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(labels[i], c.labels[i]) << c.code;
        CategoryLabels byName;
        EXPECT_EQ(LabelsByName(CategoryDisplayName(c.code), byName), c.width);
        EXPECT_EQ(byName, labels);
    }
}

TEST(Categories, LabelsOfNonCategoriesLeaveTextsUnchanged) {
    CategoryLabels labels{"a", "b", "c", "d"};
    EXPECT_EQ(LabelsByCode(15, labels), 0);
    EXPECT_EQ(LabelsByCode(100, labels), 0);
    EXPECT_EQ(LabelsByName("Show All", labels), 0);
    EXPECT_EQ(labels, (CategoryLabels{"a", "b", "c", "d"}));
}

TEST(Card, FlagsKeepOtherBits) {
    CCard card;
    card.SetAttributes(0xF0);
    card.SetAutomaticAccess(true);
    card.SetNewBrowserWindow(true);
    EXPECT_EQ(card.Attributes(), 0xF3);
    card.SetAutomaticAccess(false);
    EXPECT_EQ(card.Attributes(), 0xF1);
    EXPECT_TRUE(card.NewBrowserWindow());
    EXPECT_FALSE(card.AutomaticAccess());

    card.SetSyncByte(0x81);
    card.SetDeleted(true);
    card.SetChanged(true);
    EXPECT_EQ(card.SyncByte(), 0x87);
    card.SetDeleted(false);
    EXPECT_EQ(card.SyncByte(), 0x85);
}

TEST(Card, PasteCopyKeepsAttributesButNotRecordId) {
    CCard card;
    card.SetName("Bank");
    card.SetAutomaticAccess(true);
    card.SetNewBrowserWindow(true);
    card.SetRecordId(4711);
    const CCard copy = card.CopyForPaste();
    EXPECT_EQ(copy.Name(), "Bank");
    EXPECT_TRUE(copy.AutomaticAccess());
    EXPECT_TRUE(copy.NewBrowserWindow());
    EXPECT_EQ(copy.RecordId(), 0u);
}

TEST(Card, StoredSizeCountsHeaderTextsAndTerminators) {
    CCard card;
    EXPECT_EQ(card.StoredSize(), 29u);
    card.SetName("N");
    card.SetNote("hello");
    EXPECT_EQ(card.StoredSize(), 35u);
}

}  // namespace
}  // namespace tessaline
