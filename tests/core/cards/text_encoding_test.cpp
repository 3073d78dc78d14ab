#include <gtest/gtest.h>

#include <string>

#include "core/cards/text_encoding.h"

namespace tessaline {
namespace {

struct DisplayCase {
    std::string bytes;
    std::u32string shown;
};

TEST(DocumentTextEncoding, StoredBytesShowAsUtf8OnlyWhenTheyAreUtf8WithNonAscii) {
    const DisplayCase cases[] = {
        {"plain ascii", U"plain ascii"},
        {"caf\xC3\xA9", U"caf\u00E9"},                // UTF-8 é
        {"caf\xE9", U"caf\u00E9"},                    // Windows-1252 é
        {"\x80 \x9F", U"\u20AC \u0178"},              // 1252's euro and Ÿ
        {"\x81\x8D", U"\u0081\u008D"},                // unassigned bytes keep their number
        {"\xC3", U"\u00C3"},                          // a cut-off sequence is not UTF-8
        {"\xC0\xAF", U"\u00C0\u00AF"},                // overlong form is not UTF-8
        {"\xED\xA0\x80", U"\u00ED\u00A0\u20AC"},      // a surrogate is not UTF-8
        {"\xF0\x9F\x94\x91 key", U"\U0001F511 key"},  // four-byte UTF-8
    };
    for (const DisplayCase& c : cases) {
        EXPECT_EQ(DecodeStoredBytes(c.bytes), c.shown) << c.bytes;
    }
}

TEST(DocumentTextEncoding, TypedTextIsStoredAs1252WhenItFitsElseUtf8AndReadsBackAsTyped) {
    struct Case {
        std::u32string typed;
        std::string stored;
    };
    const Case cases[] = {
        {U"hunter22", "hunter22"},
        {U"caf\u00E9 \u20AC", "caf\xE9 \x80"},
        {U"\u0141\u00F3d\u017A",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA"},                          // Ł does not fit 1252
        {U"\u00C3\u00A9", "\xC3\x83\xC2\xA9"},  // its 1252 bytes would read back as "é"
        {U"\U0001F511", "\xF0\x9F\x94\x91"},
    };
    for (const Case& c : cases) {
        const std::string stored = EncodeTypedText(c.typed);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(DecodeStoredBytes(stored), c.typed);
    }
}

TEST(DocumentTextEncoding, EveryByteReadAs1252IsStoredBackUnchanged) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    ASSERT_FALSE(IsUtf8WithNonAscii(all));
    EXPECT_EQ(EncodeTypedText(DecodeStoredBytes(all)), all);
}

}  // namespace
}  // namespace tessaline
