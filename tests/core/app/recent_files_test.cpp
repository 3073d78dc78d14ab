// The four-entry recent-file list and where it is kept.

#include <gtest/gtest.h>

#include "core/app/recent_files.h"
#include "core/platform/profile.h"

namespace tessaline {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstNoRepeatsAtMostFour) {
    RecentFileList list;
    for (const char* p : {"/a", "/b", "/c", "/a", "/d", "/e"})
        list.Add(p);
    EXPECT_EQ(list.Entries(), (Paths{"/e", "/d", "/a", "/c"}));
    list.Remove(1);
    EXPECT_EQ(list.Entries(), (Paths{"/e", "/a", "/c"}));
    list.Remove(7);
    list.Add("");
    EXPECT_EQ(list.Entries(), (Paths{"/e", "/a", "/c"}));
}

TEST(RecentFiles, KeptInTheProfile) {
    MemoryProfile profile;
    RecentFileList list;
    list.Add("/x/one.tse");
    list.Add("/x/two.tsf");
    list.Save(profile);
    EXPECT_EQ(profile.GetText("Recent File List", "File1", "?"), "/x/two.tsf");
    EXPECT_EQ(profile.GetText("Recent File List", "File2", "?"), "/x/one.tse");
    EXPECT_EQ(profile.GetText("Recent File List", "File3", "?"), "");

    RecentFileList again;
    again.Load(profile);
    EXPECT_EQ(again.Entries(), list.Entries());
    // A shorter list clears the values it no longer uses.
    again.Remove(0);
    again.Save(profile);
    EXPECT_EQ(profile.GetText("Recent File List", "File2", "?"), "");
}

TEST(RecentFiles, MenuText) {
    EXPECT_EQ(RecentFileMenuText(0, "/home/u/a.tse"), "&1 /home/u/a.tse");
    EXPECT_EQ(RecentFileMenuText(3, "/tmp/R&D.tse"), "&4 /tmp/R&&D.tse");
    const std::string longPath = "/home/user/" + std::string(80, 'f') + "/passwords.tse";
    const std::string shown = RecentFileMenuText(1, longPath, 40);
    EXPECT_EQ(shown.rfind("&2 /home/", 0), 0u);
    EXPECT_NE(shown.find("..."), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 14), "/passwords.tse");
    EXPECT_LE(shown.size(), 43u);
    // A cut never splits a UTF-8 character.
    std::string utf8 = "/";
    for (int i = 0; i < 40; ++i)
        utf8 += "\xC3\xA9";
    const std::string cut = RecentFileMenuText(0, utf8, 21);
    const std::size_t dots = cut.find("...");
    ASSERT_NE(dots, std::string::npos);
    EXPECT_NE(static_cast<unsigned char>(cut[dots - 1]), 0xC3);
    EXPECT_NE(static_cast<unsigned char>(cut[dots + 3]) & 0xC0, 0x80);
}

}  // namespace
}  // namespace tessaline
