// What the desktop program decides without a window: the message a second start hands
// over, the remembered column widths, the window title, and the list's readable blue.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/instance_hand_off.h"
#include "core/app/startup.h"
#include "core/app/window_memory.h"
#include "core/platform/profile.h"
#include "core/views/list_colours.h"

namespace tessaline {
namespace {

using Status = HandOffDecoded::Status;

std::span<const std::uint8_t> Bytes(const std::vector<std::uint8_t>& v) {
    return std::span(v.data(), v.size());
}

TEST(HandOffTest, FilesGoAcrossWholeAndInOrder) {
    const std::vector<std::string> files = {"/home/a/cards.tse", "/tmp/x y/ümlaut.tsf"};
    const auto message = EncodeHandOff(files);
    ASSERT_TRUE(message.has_value());
    const HandOffDecoded decoded = DecodeHandOff(Bytes(*message));
    EXPECT_EQ(decoded.status, Status::Complete);
    EXPECT_EQ(decoded.files, files);

    // Every cut short of the end asks for more and yields nothing yet.
    for (std::size_t n = 0; n < message->size(); ++n) {
        const HandOffDecoded part = DecodeHandOff(std::span(message->data(), n));
        EXPECT_EQ(part.status, Status::Incomplete) << n;
        EXPECT_TRUE(part.files.empty()) << n;
    }
    // No files: the running program is only asked to show itself.
    const auto empty = EncodeHandOff({});
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(DecodeHandOff(Bytes(*empty)).status, Status::Complete);
}

TEST(HandOffTest, WhatIsNotOursIsRefused) {
    EXPECT_FALSE(EncodeHandOff({""}).has_value());
    EXPECT_FALSE(EncodeHandOff({std::string("a\0b", 3)}).has_value());
    EXPECT_FALSE(EncodeHandOff({std::string(kHandOffMaxPathBytes + 1, 'a')}).has_value());
    EXPECT_FALSE(EncodeHandOff(std::vector<std::string>(kHandOffMaxFiles + 1, "/a")).has_value());

    auto good = *EncodeHandOff({"/a"});
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back({'G', 'E', 'T', ' ', '/'});  // someone else's protocol
    auto trailing = good;
    trailing.push_back('x');
    bad.push_back(trailing);
    auto tooMany = good;
    tooMany[8] = 0xff;  // count far beyond the limit
    tooMany[9] = 0xff;
    bad.push_back(tooMany);
    auto zeroLength = good;
    zeroLength[12] = 0;
    bad.push_back(zeroLength);
    auto hugeLength = good;
    hugeLength[14] = 0x01;  // a path of 64 KiB and more
    bad.push_back(hugeLength);
    auto zeroByte = good;
    zeroByte.back() = 0;
    bad.push_back(zeroByte);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const HandOffDecoded d = DecodeHandOff(Bytes(bad[i]));
        EXPECT_EQ(d.status, Status::Invalid) << i;
        EXPECT_TRUE(d.files.empty()) << i;
    }
}

TEST(CommandLineFilesTest, NamedFilesAreKeptToOpen) {
    const StartupOptions o =
        ParseCommandLine({"tessaline", "a.tse", "--no-splash", "b.tsf", "--", "-odd.tse"});
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.tse", "b.tsf", "-odd.tse"}));
    EXPECT_FALSE(o.showSplash);
    EXPECT_TRUE(o.unknownOptions.empty());
    EXPECT_EQ(ParseCommandLine({"tessaline", "--bogus", "a.tse"}).unknownOptions,
              std::vector<std::string>{"--bogus"});
}

TEST(ColumnWidthsTest, StoredTextRoundTripsAndNonsenseIsIgnored) {
    const ColumnWidths widths{120, 100, 100, 150, 100, 150, 150};
    EXPECT_EQ(FormatColumnWidths(widths), "120,100,100,150,100,150,150");
    EXPECT_EQ(ParseColumnWidths("120,100,100,150,100,150,150"), widths);
    for (const char* bad :
         {"", "1,2,3", "120,100,100,150,100,150,150,9", "120,100,x,150,100,150,150",
          "120,100,100,150,100,150,", "120,100,100,150,100,150,150 ", "0,100,100,150,100,150,150",
          "120,100,100,150,100,150,99999", "-5,100,100,150,100,150,150"})
        EXPECT_FALSE(ParseColumnWidths(bad).has_value()) << bad;

    MemoryProfile profile;
    const ColumnWidths fallback{1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(LoadColumnWidths(profile, fallback), fallback);
    SaveColumnWidths(profile, widths);
    EXPECT_EQ(LoadColumnWidths(profile, fallback), widths);
    profile.WriteText(prefs::kSettingsSection, prefs::kColumnWidths, "garbage");
    EXPECT_EQ(LoadColumnWidths(profile, fallback), fallback);
}

TEST(FrameTitleTest, NameOnceAtTheEndWithTheModifiedMark) {
    EXPECT_EQ(FrameTitle(""), "Tessaline");
    EXPECT_EQ(FrameTitle("cards.tse"), "cards.tse[*] \u2014 Tessaline");
    // A file whose name holds "[*]" keeps it as text.
    EXPECT_EQ(FrameTitle("a[*].tse"), "a[*][*].tse[*] \u2014 Tessaline");
}

TEST(ListColourTest, BlueStaysBlueOnLightAndTurnsReadableOnDark) {
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_EQ(ReadableBlueOn({255, 255, 255}), kListBlue);
    EXPECT_EQ(ReadableBlueOn({240, 240, 240}), kListBlue);
    for (const Rgb dark : {Rgb{0, 0, 0}, Rgb{30, 30, 30}, Rgb{43, 43, 43}, Rgb{53, 53, 80}}) {
        const Rgb blue = ReadableBlueOn(dark);
        EXPECT_GE(ContrastRatio(blue, dark), kReadableContrast);
        // Still a blue: its blue channel leads.
        EXPECT_EQ(blue.b, 255);
        EXPECT_LT(blue.r, 255);
        EXPECT_EQ(blue.r, blue.g);
    }
    EXPECT_LT(ContrastRatio(kListBlue, {43, 43, 43}), kReadableContrast);  // why it matters
}

}  // namespace
}  // namespace tessaline
