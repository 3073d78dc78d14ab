#include <gtest/gtest.h>

#include <algorithm>

#include "core/platform/profile.h"
#include "core/prefs/clipboard_forget.h"
#include "core/prefs/date_format.h"
#include "core/prefs/generator_rules.h"
#include "core/prefs/preferences.h"

namespace tessaline {
namespace {

// A profile that records every write by section and name, ints and texts apart.
class RecordingProfile : public MemoryProfile {
public:
    std::vector<std::string> writes;
    void WriteInt(const std::string& s, const std::string& n, int v) override {
        writes.push_back(s + "/" + n + "=int:" + std::to_string(v));
        MemoryProfile::WriteInt(s, n, v);
    }
    void WriteText(const std::string& s, const std::string& n, const std::string& v) override {
        writes.push_back(s + "/" + n + "=text:" + v);
        MemoryProfile::WriteText(s, n, v);
    }
};

TEST(CardsPreferences, DefaultsOfAnEmptyProfile) {
    MemoryProfile empty;
    Preferences p = LoadPreferences(empty);
    EXPECT_EQ(p, Preferences{});
    EXPECT_EQ(p.chooseWebBrowser, 1);
    EXPECT_EQ(p.automaticSave, "10");
    // The sheet shows absent print switches as on, which is what printing does with them.
    EXPECT_EQ(p.printAtm, 1);
    EXPECT_EQ(p.printNotes, 1);
    PrintFlags flags = LoadPrintFlags(empty);
    EXPECT_TRUE(flags.printAtm);
    EXPECT_TRUE(flags.printNotes);
    EXPECT_EQ(ClearClipboardSeconds(empty), 10);
    EXPECT_EQ(p.submitLoginForms, 0);  // login forms are only filled, not submitted
    EXPECT_EQ(p.searchPasswords, 0);   // the search leaves passwords alone
    EXPECT_EQ(p.sealedKeyOperations, 3);
    EXPECT_EQ(p.sealedKeyMemoryKiB, 262144);
}

// The sealed files' key settings, edited in the settings file by hand, read as the
// defaults when out of range (the sheet would show a value the seal does not use).
TEST(CardsPreferences, SealedKeySettingsOutOfRangeReadAsDefaults) {
    const struct {
        int ops, kib;
        int readOps, readKib;
    } cases[] = {
        {1, 8, 1, 8},
        {10, 1048576, 10, 1048576},
        {0, 7, 3, 262144},
        {11, 1048577, 3, 262144},
        {-4, -1, 3, 262144},
    };
    for (const auto& c : cases) {
        MemoryProfile profile;
        profile.WriteInt("General Preferences", "Sealed Key Operations", c.ops);
        profile.WriteInt("General Preferences", "Sealed Key Memory KiB", c.kib);
        const Preferences p = LoadPreferences(profile);
        EXPECT_EQ(p.sealedKeyOperations, c.readOps) << c.ops;
        EXPECT_EQ(p.sealedKeyMemoryKiB, c.readKib) << c.kib;
    }
}

TEST(CardsPreferences, EveryValueGoesToItsSectionAndName) {
    Preferences p;
    p.printAtm = 1;
    p.printNotes = 2;
    p.launchEmail = 3;
    p.launchFtp = 4;
    p.launchNews = 5;
    p.launchTelnet = 6;
    p.launchWebBrowser = 7;
    p.checkOpenFiles = 8;
    p.chooseWebBrowser = -1;
    p.automaticSaveCheck = 9;
    p.automaticSave = "abc";
    p.dateFormat = 11;
    p.showPasswordAlways = 12;
    p.netscapePath = "/n";
    p.explorerPath = "/e";
    p.mailPath = "/m";
    p.newsPath = "/r";
    p.helpPath = "/h";
    p.ftpPath = "/f";
    p.telnetPath = "/t";
    p.clearClipboardSeconds = 45;
    p.lockAfterMinutes = 13;
    p.submitLoginForms = 1;
    p.searchPasswords = 1;
    p.sealedKeyOperations = 4;
    p.sealedKeyMemoryKiB = 524288;
    RecordingProfile profile;
    SavePreferences(profile, p);
    std::vector<std::string> expected = {
        "Print Preferences/Print ATM=int:1",
        "Print Preferences/Print Notes=int:2",
        "Start Up Preferences/Print Notes=int:3",
        "Start Up Preferences/Launch FTP=int:4",
        "Start Up Preferences/Launch News Reader=int:5",
        "Start Up Preferences/Launch Tel Net=int:6",
        "Start Up Preferences/Launch Web Browser=int:7",
        "Start Up Preferences/Check Open Files=int:8",
        "Internet Preferences/Choose Web Browser=int:-1",
        "Internet Preferences/Automatic Save Check=int:9",
        "Internet Preferences/Automatic Save=text:abc",
        "Internet Preferences/Date Format=int:11",
        "Internet Preferences/ShowPasswordAlways=int:12",
        "Internet Preferences/Netscape File Path=text:/n",
        "Internet Preferences/Explorer File Path=text:/e",
        "Internet Preferences/MailProg File Path=text:/m",
        "Internet Preferences/NewsProg File Path=text:/r",
        "Internet Preferences/HelpProg File Path=text:/h",
        "Internet Preferences/FTP File Path=text:/f",
        "Internet Preferences/Telnet File Path=text:/t",
        "General Preferences/Clear Clipboard Seconds=int:45",
        "General Preferences/Lock After Minutes=int:13",
        "General Preferences/Submit Login Forms=int:1",
        "General Preferences/Search Passwords=int:1",
        "General Preferences/Sealed Key Operations=int:4",
        "General Preferences/Sealed Key Memory KiB=int:524288",
    };
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> got = profile.writes;
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(LoadPreferences(profile), p);
    // The e-mail switch and the print switch of the same name stay apart.
    EXPECT_EQ(profile.GetInt("Print Preferences", "Print Notes", 0), 2);
    EXPECT_EQ(profile.GetInt("Start Up Preferences", "Print Notes", 0), 3);
}

TEST(CardsPreferences, SpinPositionFromTheMinutesText) {
    const std::pair<const char*, int> cases[] = {
        {"10", 10}, {"abc", 0},    {"", 0},      {"7min", 7}, {"30", 30},
        {"45", 30}, {"065536", 0}, {"65541", 5}, {" 5", 0},   {"-3", 0}};
    for (const auto& [text, pos] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(AutoSaveSpinPosition(text), pos);
    }
}

TEST(CardsPreferences, DateListAndSelection) {
    const std::uint32_t stamp = CardTimeOfDate(2026, 3, 7);
    auto samples = DateFormatSamples(stamp);
    EXPECT_EQ(samples[0], "03/07/26");
    EXPECT_EQ(samples[4], "2026-03-07");
    EXPECT_EQ(samples[11], "07-03-2026");
    EXPECT_EQ(DateFormatListSelection(0), 0);
    EXPECT_EQ(DateFormatListSelection(11), 11);
    EXPECT_EQ(DateFormatListSelection(12), -1);
    EXPECT_EQ(DateFormatListSelection(-1), -1);
}

TEST(CardsPreferences, ClipboardSecondsNeverNegative) {
    MemoryProfile p;
    p.WriteInt("General Preferences", "Clear Clipboard Seconds", -4);
    EXPECT_EQ(ClearClipboardSeconds(p), 0);
    p.WriteInt("General Preferences", "Clear Clipboard Seconds", 0);
    EXPECT_EQ(ClearClipboardSeconds(p), 0);
    EXPECT_EQ(ClearDelayMs(0), 0);
    EXPECT_EQ(ClearDelayMs(10), 10000);
}

TEST(CardsClipboardRule, ClearsOnlyWhatWePutThere) {
    ClipboardForgetRule rule;
    EXPECT_FALSE(rule.ShouldClearOnExit(""));
    const auto first = rule.Placed("secret1");
    EXPECT_TRUE(rule.ShouldClearAt(first, "secret1"));
    // The user copied something else since: leave it.
    EXPECT_FALSE(rule.ShouldClearAt(first, "their text"));
    const auto second = rule.Placed("secret2");
    // The first timer is void once a newer secret went there.
    EXPECT_FALSE(rule.ShouldClearAt(first, "secret2"));
    EXPECT_TRUE(rule.ShouldClearAt(second, "secret2"));
    EXPECT_TRUE(rule.ShouldClearOnExit("secret2"));
    EXPECT_FALSE(rule.ShouldClearOnExit("secret1"));
    rule.Forget();
    EXPECT_FALSE(rule.HoldsSecret());
    EXPECT_FALSE(rule.ShouldClearAt(second, "secret2"));
    EXPECT_FALSE(rule.ShouldClearOnExit(""));
}

TEST(CardsGeneratorRules, UseDependsOnSelectionAndCategory) {
    const std::pair<const char*, bool> cases[] = {
        {"WWW Sites", true},      {"Show All", true},        {"Search Results", true},
        {"Email Accounts", true}, {"Miscellaneous", true},   {"Bank Accounts", false},
        {"Credit Cards", false},  {"ATM/PIN Cards", false},  {"Personal Data", false},
        {"Software Keys", false}, {"Serial Numbers", false}, {"Membership Numbers", false}};
    for (const auto& [text, enabled] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(GeneratorUseEnabled(true, text), enabled);
        EXPECT_FALSE(GeneratorUseEnabled(false, text));
    }
}

TEST(CardsGeneratorRules, SpinWrapsAndLengthIsLimited) {
    EXPECT_EQ(StepGeneratorLength(63, 1), 0);
    EXPECT_EQ(StepGeneratorLength(0, -1), 63);
    EXPECT_EQ(StepGeneratorLength(20, 1), 21);
    EXPECT_EQ(StepGeneratorLength(10, 1), 11);
    EXPECT_EQ(StepGeneratorLength(10, -3), 7);
    EXPECT_EQ(GeneratorLength(-5), 0);
    EXPECT_EQ(GeneratorLength(40), 40);
    EXPECT_EQ(GeneratorLength(64), 63);
    EXPECT_EQ(GeneratorLength(1000), 63);
}

}  // namespace
}  // namespace tessaline
