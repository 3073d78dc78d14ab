// The automatic-save minute count and the "Automatic Save" text.

#include <gtest/gtest.h>

#include "core/app/autosave.h"

namespace tessaline {
namespace {

TEST(AutoSave, MinutesFromText) {
    struct Case {
        const char* text;
        int minutes;
    };
    for (const Case& c : std::vector<Case>{{"10", 10},
                                           {"5", 5},
                                           {"0", 0},
                                           {"", 0},
                                           {"abc", 0},
                                           {"12min", 12},
                                           {" 7", 0},
                                           {"-3", 0},
                                           {"99999999999999", 2147483647}})
        EXPECT_EQ(ParseAutoSaveMinutes(c.text), c.minutes) << c.text;
}

// Ticks (one a minute) with the document's modified state; which ones save.
std::vector<int> SavingTicks(int minutes, const std::vector<bool>& modified,
                             bool haveDocument = true) {
    AutoSaveCounter counter;
    counter.SetMinutes(minutes);
    std::vector<int> saves;
    for (std::size_t i = 0; i < modified.size(); ++i)
        if (counter.Tick(haveDocument, modified[i]))
            saves.push_back(static_cast<int>(i + 1));
    return saves;
}

TEST(AutoSave, WhichTicksSave) {
    const bool Y = true, N = false;
    // Five minutes, always modified: the 5th and 10th ticks save.
    EXPECT_EQ(SavingTicks(5, {Y, Y, Y, Y, Y, Y, Y, Y, Y, Y}), (std::vector<int>{5, 10}));
    // The count is not reset while unmodified: the first modified tick past it saves.
    EXPECT_EQ(SavingTicks(5, {N, N, N, N, N, N, N, Y, Y}), (std::vector<int>{8}));
    // Zero minutes: every modified tick saves.
    EXPECT_EQ(SavingTicks(0, {Y, N, Y, Y}), (std::vector<int>{1, 3, 4}));
    // Without a document nothing is saved, though the ticks count.
    EXPECT_EQ(SavingTicks(1, {Y, Y, Y}, false), (std::vector<int>{}));
}

TEST(AutoSave, TicksWithoutDocumentStillCount) {
    AutoSaveCounter counter;
    counter.SetMinutes(3);
    EXPECT_FALSE(counter.Tick(false, false));
    EXPECT_FALSE(counter.Tick(false, false));
    EXPECT_TRUE(counter.Tick(true, true));
    EXPECT_EQ(counter.Ticks(), 0);
}

}  // namespace
}  // namespace tessaline
