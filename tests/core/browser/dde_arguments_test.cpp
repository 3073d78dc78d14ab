// The "WWW_" topics and argument strings.

#include <gtest/gtest.h>

#include "core/browser/dde_arguments.h"

namespace tessaline {
namespace {

using Args = std::vector<DdeArgument>;
using Bytes = std::vector<std::uint8_t>;

TEST(DdeTopicTable, AlphabeticalWithTheNamedIndexes) {
    EXPECT_EQ(kDdeTopicTable[0], "WWW_Activate");
    EXPECT_EQ(kDdeTopicTable[kTopicGetWindowInfo], "WWW_GetWindowInfo");
    EXPECT_EQ(kDdeTopicTable[kTopicOpenURL], "WWW_OpenURL");
    EXPECT_EQ(kDdeTopicTable[11], "WWW_QueryURLFile");
    EXPECT_EQ(kDdeTopicTable[26], "WWW_WindowChange");
    for (std::size_t i = 1; i < kDdeTopicTable.size(); ++i) {
        std::string a(kDdeTopicTable[i - 1]), b(kDdeTopicTable[i]);
        for (char& ch : a)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        for (char& ch : b)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_LT(a, b) << i;
        EXPECT_EQ(FindDdeTopic(kDdeTopicTable[i]), static_cast<int>(i));
    }
    EXPECT_EQ(FindDdeTopic("www_openurl"), kTopicOpenURL);
    EXPECT_EQ(FindDdeTopic("WWW_Nothing"), -1);
    EXPECT_EQ(FindDdeTopic(""), -1);
}

TEST(BuildArgumentString, OpenUrlItemAsTheBrowserGetsIt) {
    const Args openUrl = {std::string("http://a.example/"),
                          std::monostate{},
                          std::uint32_t{4294967295u},
                          std::uint32_t{0},
                          std::monostate{},
                          std::monostate{},
                          std::string("Tessaline1")};
    EXPECT_EQ(BuildArgumentString("QCS,QCS,DW,DW,QCS,QCS,CS", openUrl),
              "\"http://a.example/\",,4294967295,0,,,Tessaline1");
}

TEST(BuildArgumentString, FieldsByTypeCode) {
    struct Case {
        const char* types;
        Args values;
        const char* expected;
    };
    const Case cases[] = {
        {"QCS", {std::string("say \"hi\"")}, "\"say \\\"hi\\\"\""},
        {"QCS", {std::string("c:\\dir\\")}, "\"c:\\dir\\\""},
        {"QCS", {std::string()}, "\"\""},
        {"CS", {std::string("as,is \"x\"")}, "as,is \"x\""},
        {"DW,DW", {std::uint32_t{0}, std::uint32_t{123}}, "0,123"},
        {"BL,BL", {true, false}, "TRUE,FALSE"},
        {"DW,QCS,CS,BL", {}, ",,,"},
        {"QCS,XX,DW", {std::string("a"), std::string("b"), std::uint32_t{1}}, "\"a\""},
        {"DW,BL", {std::uint32_t{7}, std::uint32_t{1}}, "7,"},  // a value of the wrong kind
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatArgumentString(c.types, c.values), c.expected) << c.types;
    EXPECT_EQ(BuildArgumentString("CS", {std::monostate{}}), std::nullopt);
    EXPECT_EQ(BuildArgumentString("XX", {std::string("a")}), std::nullopt);
}

TEST(BuildArgumentString, LongerThan255CharactersGivesNone) {
    // "x" * 253 in quotes is 255 characters: the longest item a handle can carry.
    EXPECT_EQ(BuildArgumentString("QCS", {std::string(253, 'x')})->size(), 255u);
    EXPECT_EQ(BuildArgumentString("QCS", {std::string(254, 'x')}), std::nullopt);
    EXPECT_EQ(BuildArgumentString("CS", {std::string(256, 'x')}), std::nullopt);
}

TEST(ParseArgumentString, FieldsCountedFromOne) {
    const std::string text = "\"a,\\\"b\\\"\",,42,\"\",plain,TRUE";
    EXPECT_EQ(ParseArgumentString(text, 1), "a,\\\"b\\\"");  // backslashes stay
    EXPECT_EQ(ParseArgumentString(text, 2), std::nullopt);   // empty between commas
    EXPECT_EQ(ParseArgumentString(text, 3), "42");
    EXPECT_EQ(ParseArgumentString(text, 4), "");  // two quotes: given, empty
    EXPECT_EQ(ParseArgumentString(text, 5), "plain");
    EXPECT_EQ(ParseArgumentString(text, 6), "TRUE");
    EXPECT_EQ(ParseArgumentString(text, 7), std::nullopt);
    EXPECT_EQ(ParseArgumentString(text, 0), std::nullopt);
    EXPECT_EQ(ParseArgumentString("", 1), std::nullopt);
    EXPECT_EQ(ParseArgumentString("a,", 2), std::nullopt);
    EXPECT_EQ(ParseArgumentString("\"unterminated", 1), "unterminated");
    EXPECT_EQ(ParseArgumentString("\"unterminated,x", 2), std::nullopt);
}

TEST(ParseArgumentString, FieldConversions) {
    EXPECT_EQ(ReadDwordField(std::string("4294967295")), 4294967295u);
    EXPECT_EQ(ReadDwordField(std::string("12abc")), 12u);
    EXPECT_EQ(ReadDwordField(std::string("abc")), 0u);
    EXPECT_EQ(ReadDwordField(std::nullopt), 0u);
    EXPECT_EQ(ReadQuotedTextField(std::string("say \\\"hi\\\" c:\\x")), "say \"hi\" c:\\x");
    EXPECT_EQ(ReadQuotedTextField(std::nullopt), "");
    EXPECT_TRUE(ReadBoolField(std::string("true")));
    EXPECT_TRUE(ReadBoolField(std::string("TRUE")));
    EXPECT_FALSE(ReadBoolField(std::string("TRUEX")));
    EXPECT_FALSE(ReadBoolField(std::string("1")));
    EXPECT_FALSE(ReadBoolField(std::nullopt));
}

// Writing a text as QCS and reading it back gives it again. (A text that ends in a
// backslash cannot travel: its closing quote would read as an escaped one.)
TEST(ParseArgumentString, QuotedTextsSurviveTheRoundTrip) {
    const char* texts[] = {
        "plain", "with, comma", "\"quoted\"", "back\\slash", "mixed \\\" both", ",,,", ""};
    for (const char* t : texts) {
        const Args values = {std::string(t), std::uint32_t{9}, std::string("last")};
        const std::string item = FormatArgumentString("QCS,DW,QCS", values);
        const Args back = ReadArguments("QCS,DW,QCS", item);
        ASSERT_EQ(back.size(), 3u);
        EXPECT_EQ(std::get<std::string>(back[0]), t) << item;
        EXPECT_EQ(std::get<std::uint32_t>(back[1]), 9u) << item;
        EXPECT_EQ(std::get<std::string>(back[2]), "last") << item;
    }
}

TEST(DdeReplies, NumbersAsBinaryOtherAnswersAsText) {
    EXPECT_EQ(EncodeReply("DW", {std::uint32_t{0x01020304}}), (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(EncodeReply("BL", {true}), (Bytes{1, 0}));
    EXPECT_EQ(EncodeReply("BL", {false}), (Bytes{0, 0}));
    EXPECT_EQ(EncodeReply("QCS", {std::string("a\"b")}), (Bytes{'"', 'a', '\\', '"', 'b', '"', 0}));

    EXPECT_EQ(std::get<std::uint32_t>(DecodeReply("DW", {4, 3, 2, 1})[0]), 0x01020304u);
    EXPECT_EQ(std::get<std::uint32_t>(DecodeReply("DW", {4, 3})[0]), 0u);  // too short
    EXPECT_TRUE(std::get<bool>(DecodeReply("BL", {1, 0})[0]));
    EXPECT_FALSE(std::get<bool>(DecodeReply("BL", {})[0]));

    const std::string info = "\"http://a.example/?q=\\\"x\\\"\",\"Title, with comma\"";
    Bytes data(info.begin(), info.end());
    data.push_back(0);
    Args read = DecodeReply("QCS,QCS", data);
    EXPECT_EQ(std::get<std::string>(read[0]), "http://a.example/?q=\"x\"");
    EXPECT_EQ(std::get<std::string>(read[1]), "Title, with comma");
}

TEST(DdeReplies, TextRepliesOver255CharactersReadAsNothing) {
    const std::string address = "\"http://a.example/" + std::string(240, 'p') + "\"";
    const std::string reply = address + ",\"Title\"";
    ASSERT_GT(reply.size(), 255u);
    Args read = DecodeReply("QCS,QCS", Bytes(reply.begin(), reply.end()));
    EXPECT_EQ(std::get<std::string>(read[0]), "");
    EXPECT_EQ(std::get<std::string>(read[1]), "");

    const std::string fits = "\"" + std::string(200, 'a') + "\",\"T\"";
    read = DecodeReply("QCS,QCS", Bytes(fits.begin(), fits.end()));
    EXPECT_EQ(std::get<std::string>(read[0]), std::string(200, 'a'));
    EXPECT_EQ(std::get<std::string>(read[1]), "T");
}

}  // namespace
}  // namespace tessaline
