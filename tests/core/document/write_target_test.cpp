// Which names say "encrypted", and which files on disk hold no cards yet and so are
// written as new ones.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/write_target.h"
#include "support/data_files.h"

namespace tessaline {
namespace {

using testing::Bytes;

Bytes Written(const std::vector<testing::CardFields>& cards, const std::string& password = {}) {
    testing::TempFolder folder("write_target");
    const auto path = folder.Path() / "f";
    EXPECT_TRUE(testing::WriteDataFile(path, cards, password));
    return testing::ReadFileBytes(path);
}

TEST(WriteTarget, ANameEndingInTseInAnyCaseSaysEncrypted) {
    struct Case {
        std::string path;
        bool encrypted;
    };
    for (const Case& c : {Case{"/a/b.tse", true}, Case{"b.TSE", true}, Case{"b.Tse", true},
                          Case{"b.tsf", false}, Case{"b.tsex", false}, Case{"b", false},
                          Case{"/x.tse/b", false}, Case{"b.tse.tsf", false}}) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(HasEncryptedName(c.path), c.encrypted);
        EXPECT_EQ(PlainUnderEncryptedName(c.path, false), c.encrypted);
        EXPECT_FALSE(PlainUnderEncryptedName(c.path, true));
    }
    EXPECT_EQ(PlainNameFor("/a/b.tse"), "/a/b.tsf");
}

TEST(WriteTarget, OnlyAFileWithoutCardsOrAnythingElseIsBlank) {
    const Bytes header = Written({});
    Bytes trailing = header;
    trailing.insert(trailing.end(), {1, 2, 3});
    Bytes oldPlain(21 + 20, 0);
    const std::string preamble = "NTENCRYPTVersion1.002";
    std::copy(preamble.begin(), preamble.end(), oldPlain.begin());
    struct Case {
        const char* what;
        Bytes bytes;
        bool blank;
    };
    for (const Case& c : {
             Case{"empty", {}, true},
             Case{"a plain header", header, true},
             Case{"an old plain file without cards", oldPlain, true},
             Case{"a plain header and bytes after it", trailing, false},
             Case{"one card with empty texts", Written({{.code = 0}}), false},
             Case{"encrypted, no cards", Written({}, "hunter22"), false},
             Case{"not a data file", Bytes{'h', 'e', 'l', 'l', 'o'}, false},
         }) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsBlankDataFile(c.bytes), c.blank);
        testing::TempFolder folder("write_target");
        const auto path = folder.Path() / "f.tse";
        ASSERT_TRUE(testing::WriteFileBytes(path, c.bytes));
        EXPECT_EQ(IsBlankDataFileAt(path.string()), c.blank);
    }
    EXPECT_FALSE(IsBlankDataFileAt("/nonexistent/f.tse"));
    EXPECT_FALSE(IsBlankDataFileAt("/tmp"));
}

}  // namespace
}  // namespace tessaline
