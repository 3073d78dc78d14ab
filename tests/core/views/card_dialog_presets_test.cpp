#include <gtest/gtest.h>

#include "core/views/card_dialog_presets.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using testing::CardFields;
using testing::MakeCard;

struct NewCardCase {
    const char* category;
    const char* address;
    int attributes;
    bool addressButton;
};

TEST(CardsEditorPresets, NewCardPerCategory) {
    const NewCardCase cases[] = {
        {"WWW Sites", "http://", 1, true},        {"WWW Forms", "", 0, false},
        {"FTP Servers", "ftp://", 1, true},       {"Newsgroups", "ftp://", 0, true},
        {"Login Accounts", "telnet://", 0, true}, {"Credit Cards", "", 0, false},
        {"Miscellaneous", "http://", 1, true},    {"Bank Accounts", "", 0, false},
    };
    for (const NewCardCase& c : cases) {
        SCOPED_TRACE(c.category);
        CardEditorFields f = PresetForNewCard(c.category);
        EXPECT_EQ(f.editMode, 0);
        EXPECT_EQ(f.name, "Untitled");
        EXPECT_EQ(f.address, c.address);
        EXPECT_EQ(f.attributesEnabled, c.attributes);
        EXPECT_EQ(AddressButtonShown(f.categoryName), c.addressButton);
        EXPECT_EQ(f.categoryName, c.category);
        EXPECT_TRUE(f.userId.empty() && f.password.empty() && f.note.empty());
        EXPECT_FALSE(f.automaticAccess || f.newBrowserWindow);
        EXPECT_EQ(f.passwordHidden, 1);
        for (const std::string& label : f.labels)
            EXPECT_EQ(label.back(), ':');
    }
    EXPECT_EQ(PresetForNewCard("Credit Cards").labels[1], "Exp. Date:");
}

TEST(CardsEditorPresets, WebPageKeepsTitleAndAddressAndLabelsWithoutColon) {
    CardEditorFields f = PresetForWebPage("WWW Sites", "Bank & Co", "https://bank.example/x");
    EXPECT_EQ(f.name, "Bank & Co");
    EXPECT_EQ(f.address, "https://bank.example/x");
    EXPECT_EQ(f.labels[0], "Name");
    EXPECT_EQ(f.attributesEnabled, 1);
    EXPECT_EQ(f.editMode, 0);
    EXPECT_EQ(f.userId, "");
    EXPECT_FALSE(f.offerPagePassword);
    // A login form on the page: its typed user ID, and the page's password on request.
    f = PresetForWebPage("WWW Sites", "Bank", "https://bank.example/x", true, "joe");
    EXPECT_EQ(f.userId, "joe");
    EXPECT_EQ(f.password, "");
    EXPECT_TRUE(f.offerPagePassword);
    EXPECT_FALSE(f.takePagePassword);
}

TEST(CardsEditorPresets, EditTakesTheCardAndItsOwnCategory) {
    CCard card = MakeCard(CardFields{.code = 1,
                                     .name = "Shop",
                                     .address = "https://shop",
                                     .user = "me",
                                     .password = "pw",
                                     .note = "l1\r\nl2",
                                     .attributes = CCard::kAutomaticAccessBit});
    CardEditorFields f = PresetForEdit(card);
    EXPECT_EQ(f.editMode, 1);
    EXPECT_EQ(f.categoryName, "WWW Forms");
    // WWW Forms cards can use the attributes once they exist, but not when new.
    EXPECT_EQ(f.attributesEnabled, 1);
    EXPECT_EQ(PresetForNewCard("WWW Forms").attributesEnabled, 0);
    EXPECT_TRUE(f.automaticAccess);
    EXPECT_FALSE(f.newBrowserWindow);
    EXPECT_EQ(f.note, "l1\r\nl2");
    EXPECT_EQ(f.name, "Shop");
    EXPECT_EQ(f.password, "pw");
    EXPECT_EQ(f.labels[0].back(), ':');

    CCard credit = MakeCard(CardFields{.code = 8, .name = "Visa"});
    EXPECT_EQ(PresetForEdit(credit).attributesEnabled, 0);
    EXPECT_FALSE(AddressButtonShown(PresetForEdit(credit).categoryName));
}

TEST(CardsEditorPresets, NoteLineBreaksSurviveAnUnchangedEdit) {
    const std::string stored = "first\r\nsecond\nthird\rfourth";
    const std::string shown = NoteForEditor(stored);
    EXPECT_EQ(shown, "first\nsecond\nthird\nfourth");
    // Unchanged: the stored bytes come back exactly, whatever line ends they had.
    EXPECT_EQ(NoteFromEditor(shown, stored), stored);
    // Changed: line ends are written as CR LF.
    EXPECT_EQ(NoteFromEditor("first\nchanged", stored), "first\r\nchanged");
    EXPECT_EQ(NoteFromEditor("", ""), "");
}

TEST(CardsEditorPresets, TextsOf32767BytesAreRefused) {
    CardEditorFields f = PresetForNewCard("Credit Cards");
    f.name = std::string(32766, 'n');
    f.note = std::string(32766, 'x');
    EXPECT_FALSE(FieldTooLong(f).has_value());
    f.userId = std::string(32767, 'u');
    EXPECT_EQ(FieldTooLong(f), "Number");
    f.userId.clear();
    f.note.push_back('x');
    EXPECT_EQ(FieldTooLong(f), "Note");
    EXPECT_NE(TooLongMessage("Note").find("\"Note\""), std::string::npos);
}

TEST(CardsEditorPresets, AmpersandsShowLiterally) {
    EXPECT_EQ(EscapeAmpersands("a&b&&c"), "a&&b&&&&c");
    EXPECT_EQ(EscapeAmpersands(""), "");
}

}  // namespace
}  // namespace tessaline
