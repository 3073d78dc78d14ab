#include <gtest/gtest.h>

#include "core/views/text_import.h"

namespace tessaline {
namespace {

struct ImportCase {
    const char* line;
    const char* name;
    const char* password;
    const char* note;
};

// A line is split at its first five tabs; whatever follows the fifth is the note, tabs
// and all, as notes typed before Tab left the note field come out of an export.
TEST(TextImport, TheNoteTakesEverythingAfterTheFifthTab) {
    const ImportCase cases[] = {
        {"0\tmail\thttps://m\tme\tpw\tplain note", "mail", "pw", "plain note"},
        {"0\tmail\thttps://m\tme\tpw\tcol 1\tcol 2", "mail", "pw", "col 1\tcol 2"},
        {"8\tvisa\t\t4111\t123\t\t\t", "visa", "123", "\t\t"},
        {"14\talarm\t\t\t9876\t", "alarm", "9876", ""},
    };
    for (const ImportCase& c : cases) {
        const TextImport result = ParseExportedText(std::string(c.line) + "\r\n", 77);
        ASSERT_FALSE(result.error) << c.line << ": " << result.error->what;
        ASSERT_EQ(result.cards.size(), 1u) << c.line;
        EXPECT_EQ(result.cards[0].Name(), c.name);
        EXPECT_EQ(result.cards[0].Password(), c.password);
        EXPECT_EQ(result.cards[0].Note(), c.note) << c.line;
        EXPECT_EQ(result.cards[0].ModificationTime(), 77u);
    }
}

TEST(TextImport, ALineWithFewerThanSixFieldsImportsNothing) {
    const TextImport result = ParseExportedText("0\ta\tb\tc\td\te\n1\tonly\tthree\n", 1);
    EXPECT_TRUE(result.cards.empty());
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->line, 2);
    EXPECT_NE(result.error->what.find("this line has 3"), std::string::npos) << result.error->what;
}

}  // namespace
}  // namespace tessaline
