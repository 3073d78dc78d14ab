#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "core/platform/profile.h"
#include "core/prefs/date_format.h"

namespace tessaline {
namespace {

// Runs the tests of this file in UTC, so that the expected texts do not depend on the
// machine's time zone.
class DateFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (tz)
            oldTz_ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) {
            setenv("TZ", oldTz_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    bool hadTz_ = false;
    std::string oldTz_;
};

TEST_F(DateFormatTest, TwelveFormats) {
    // 2005-12-31 (a Saturday) 13:14:15.
    const std::uint32_t stamp = CardTimeOfDate(2005, 12, 31) + 13 * 3600 + 14 * 60 + 15;
    const char* expected[] = {"12/31/05",           "Saturday, December 31, 2005",
                              "December, 31, 2005", "12/31/2005",
                              "2005-12-31",         "31-December-05",
                              "12.31.05",           "December.31.05",
                              "31-December-2005",   "December, 05",
                              "December-05",        "31-12-2005"};
    for (int index = 0; index < kDateFormatCount; ++index) {
        EXPECT_EQ(FormatCardDate(stamp, index), expected[index]) << index;
    }
    for (int outside : {-1, 12, 99})
        EXPECT_EQ(FormatCardDate(stamp, outside), "31-12-2005");
    EXPECT_STREQ(DateFormatOfIndex(1), "%A, %B %d, %Y");
    EXPECT_STREQ(DateFormatOfIndex(42), "%d-%m-%Y");
}

TEST_F(DateFormatTest, TheUsersChoiceComesFromTheProfile) {
    MemoryProfile profile;
    const std::uint32_t stamp = CardTimeOfDate(2001, 2, 3);
    EXPECT_EQ(FormatCardDate(stamp, profile), "02/03/01");
    profile.WriteInt("Internet Preferences", "Date Format", 4);
    EXPECT_EQ(FormatCardDate(stamp, profile), "2001-02-03");
}

TEST_F(DateFormatTest, StampsBefore1970AndAtTheEndOfTheRange) {
    EXPECT_EQ(FormatCardDate(0, 4), "1904-01-01");
    EXPECT_EQ(FormatCardDate(0xFFFFFFFFu, 4), "2040-02-06");
}

TEST_F(DateFormatTest, CurrentCardTimeIsNowCountedFrom1904) {
    const std::int64_t before = static_cast<std::int64_t>(std::time(nullptr)) + kSeconds1904To1970;
    const std::int64_t now = CurrentCardTime();
    const std::int64_t after = static_cast<std::int64_t>(std::time(nullptr)) + kSeconds1904To1970;
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
}

TEST(DateFormatLocal, CurrentCardTimeFollowsTheLocalClock) {
    setenv("TZ", "UTC-3", 1);  // three hours ahead of UTC
    tzset();
    const std::int64_t utcNow = static_cast<std::int64_t>(std::time(nullptr)) + kSeconds1904To1970;
    const std::int64_t local = CurrentCardTime();
    unsetenv("TZ");
    tzset();
    EXPECT_NEAR(static_cast<double>(local - utcNow), 3 * 3600.0, 2.0);
}

}  // namespace
}  // namespace tessaline
