#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/cards/card_collection.h"
#include "core/commands/command_ids.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/views/card_commands.h"
#include "core/views/card_list_model.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;
using testing::ScriptedAnswers;

constexpr std::uint32_t kNow = 3'900'000'000u;  // 2027

class CardsCommands : public ::testing::Test {
protected:
    CCardCollection cards;
    MemoryProfile profile;
    ScriptedAnswers ui;
};

TEST_F(CardsCommands, NewCardIsRefusedWhereNoCategoryIsShown) {
    EXPECT_FALSE(CanAddCardsTo("Show All", ui));
    EXPECT_FALSE(CanAddCardsTo("Search Results", ui));
    EXPECT_TRUE(CanAddCardsTo("Credit Cards", ui));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "Please select a category first.");
    EXPECT_EQ(ui.captionTexts[0], "Warning");
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.shown[1].text, "You can not add cards to this category!");
    EXPECT_EQ(ui.captionTexts[1], "Notification");
}

TEST_F(CardsCommands, NewCardIsFiledStampedAndMarkedChanged) {
    profile.WriteInt("Internet Preferences", "Date Format", 4);
    CardEditorFields f = PresetForNewCard("Login Accounts");
    f.name = "box";
    f.userId = "root";
    f.password = "pw";
    f.automaticAccess = true;
    CCard* c = AddNewCard(cards, "Login Accounts", f, profile, kNow);
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(cards.List(kLoginAccounts).Count(), 1);
    EXPECT_EQ(cards.List(kLoginAccounts).CardAt(0), c);
    EXPECT_EQ(c->Address(), "telnet://");
    EXPECT_EQ(c->Category(), kLoginAccounts);
    EXPECT_EQ(c->CategoryNameText(), "Login Accounts");
    EXPECT_EQ(c->ModificationTime(), kNow);
    EXPECT_EQ(c->DateText(), FormatCardDate(kNow, 4));
    EXPECT_TRUE(c->Changed());
    EXPECT_TRUE(c->AutomaticAccess());
    EXPECT_FALSE(c->NewBrowserWindow());
    EXPECT_EQ(AddNewCard(cards, "Show All", f, profile, kNow), nullptr);
    EXPECT_EQ(cards.LiveCardCount(), 1);
}

TEST_F(CardsCommands, NewCardWhereNoCategoryIsShownAsksForIt) {
    for (const char* shown : {"Show All", "Search Results"}) {
        SCOPED_TRACE(shown);
        EXPECT_TRUE(NewCardAsksCategory(shown));
        const CardEditorFields f = PresetForNewCard(shown);
        EXPECT_TRUE(f.chooseCategory);
        EXPECT_EQ(f.categoryName, "WWW Sites");
        EXPECT_EQ(f.address, "http://");
    }
    EXPECT_FALSE(NewCardAsksCategory("Credit Cards"));
    EXPECT_FALSE(PresetForNewCard("Credit Cards").chooseCategory);

    // Choosing another category brings its labels and boxes, and its starting address
    // while the address is still the one the earlier category started with.
    CardEditorFields f = WithChosenCategory(PresetForNewCard("Show All"), "FTP Servers");
    EXPECT_EQ(f.address, "ftp://");
    EXPECT_EQ(f.labels, EditorFieldLabels("FTP Servers"));
    EXPECT_EQ(f.attributesEnabled, 1);
    f.address = "ftp://files.example";
    f = WithChosenCategory(f, "Credit Cards");
    EXPECT_EQ(f.address, "ftp://files.example");
    EXPECT_EQ(f.labels, EditorFieldLabels("Credit Cards"));
    EXPECT_EQ(f.attributesEnabled, 0);
    CCard* c = AddNewCard(cards, f.categoryName, f, profile, kNow);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Category(), kCreditCards);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CardsCommands, EditChangesOnlyWhenSomethingDiffers) {
    CCard* c = AddCard(cards, CardFields{.code = 0, .name = "a", .note = "x\r\ny", .time = 5});
    CardEditorFields f = PresetForEdit(*c);
    EXPECT_FALSE(ApplyCardEdit(*c, f, profile, kNow));
    EXPECT_EQ(c->ModificationTime(), 5u);
    EXPECT_FALSE(c->Changed());

    // Every field and each attribute counts as a change on its own.
    const std::vector<std::function<void(CardEditorFields&)>> changes = {
        [](CardEditorFields& e) { e.name = "A"; },
        [](CardEditorFields& e) { e.address = "u"; },
        [](CardEditorFields& e) { e.userId = "u"; },
        [](CardEditorFields& e) { e.password = "p"; },
        [](CardEditorFields& e) { e.note = "x y"; },
        [](CardEditorFields& e) { e.automaticAccess = true; },
        [](CardEditorFields& e) { e.newBrowserWindow = true; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE(i);
        CCard* d = AddCard(cards, CardFields{.code = 0, .name = "a", .note = "x\r\ny", .time = 5});
        CardEditorFields e = PresetForEdit(*d);
        changes[i](e);
        EXPECT_TRUE(ApplyCardEdit(*d, e, profile, kNow));
        EXPECT_EQ(d->ModificationTime(), kNow);
        EXPECT_TRUE(d->Changed());
        EXPECT_EQ(PresetForEdit(*d).name, e.name);
        EXPECT_EQ(d->AutomaticAccess(), e.automaticAccess);
    }
}

TEST_F(CardsCommands, DeleteAsksNamingTheCardWhateverTheListShows) {
    CCard* a = AddCard(cards, CardFields{.code = kBankAccounts, .name = "a"});
    CCard* b = AddCard(cards, CardFields{.code = kBankAccounts, .name = "b"});
    CCard* shownAll = AddCard(cards, CardFields{.code = kWwwSites, .name = "Caf\xE9"});

    // Under "Show All" too; the name as the list shows it (Windows-1252 bytes here).
    ui.messageAnswers.push_back(MsgAnswer::Ok);
    EXPECT_TRUE(DeleteCard(cards, "Show All", shownAll, ui));
    EXPECT_EQ(ui.Texts().back(), "Are you sure you want to delete the card \"Caf\xC3\xA9\"?");
    EXPECT_EQ(ui.captionTexts.back(), "Warning");
    EXPECT_EQ(cards.List(kWwwSites).Count(), 0);

    ui.messageAnswers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(DeleteCard(cards, "Bank Accounts", a, ui));
    EXPECT_EQ(ui.Texts().back(), "Are you sure you want to delete the card \"a\"?");
    EXPECT_EQ(ui.shown.back().buttons, MsgButtons::OkCancel);
    EXPECT_EQ(ui.shown.back().icon, MsgIcon::Warning);
    EXPECT_EQ(cards.List(kBankAccounts).Count(), 2);

    ui.messageAnswers.push_back(MsgAnswer::Ok);
    EXPECT_TRUE(DeleteCard(cards, "Bank Accounts", a, ui));
    EXPECT_EQ(cards.List(kBankAccounts).Count(), 1);
    EXPECT_EQ(cards.List(kBankAccounts).CardAt(0), b);
    EXPECT_TRUE(a->Deleted());
    EXPECT_EQ(cards.DeletedList().IndexOf(a), 1);  // after the card deleted under "Show All"
    const std::size_t shown = ui.shown.size();
    EXPECT_FALSE(DeleteCard(cards, "Bank Accounts", nullptr, ui));
    EXPECT_EQ(ui.shown.size(), shown);
}

// A deleted card stays for the handheld's sync with what sync needs; its secrets go.
TEST_F(CardsCommands, DeleteKeepsOnlyWhatSyncNeeds) {
    CCard* card = AddCard(cards, CardFields{.code = kCreditCards,
                                            .name = "Visa",
                                            .address = "4111 1111 1111 1111",
                                            .user = "A. Holder",
                                            .password = "1234",
                                            .note = "CVC 999",
                                            .attributes = 2,
                                            .sync = CCard::kChangedBit,
                                            .time = 77,
                                            .recordId = 4242});
    ui.messageAnswers.push_back(MsgAnswer::Ok);
    ASSERT_TRUE(DeleteCard(cards, "Credit Cards", card, ui));
    EXPECT_EQ(card->Name(), "Visa");
    EXPECT_EQ(card->Category(), kCreditCards);
    EXPECT_EQ(card->RecordId(), 4242u);
    EXPECT_EQ(card->SyncByte(), CCard::kChangedBit | CCard::kDeletedBit);
    EXPECT_EQ(card->Address(), "");
    EXPECT_EQ(card->UserId(), "");
    EXPECT_EQ(card->Password(), "");
    EXPECT_EQ(card->Note(), "");
}

TEST_F(CardsCommands, DeleteFromSearchResultsLeavesNoOrphan) {
    AddCard(cards, CardFields{.code = kWwwSites, .name = "other"});
    CCard* hit = AddCard(cards, CardFields{.code = kEmailAccounts, .name = "needle"});
    cards.GatherAndSearch("NEEDLE");
    ASSERT_EQ(cards.SearchResults().Count(), 1);
    ui.messageAnswers.push_back(MsgAnswer::Ok);
    EXPECT_TRUE(DeleteCard(cards, "Search Results", hit, ui));
    EXPECT_EQ(cards.List(kEmailAccounts).Count(), 0);
    EXPECT_EQ(cards.SearchResults().Count(), 0);
    EXPECT_EQ(cards.DeletedList().Count(), 1);
    EXPECT_EQ(cards.LiveCardCount(), 1);
}

TEST_F(CardsCommands, ChangeCategoryMovesKeepingTheTime) {
    CCard* c = AddCard(cards, CardFields{.code = kWwwSites, .name = "c", .time = 77});
    EXPECT_EQ(ChangeCardCategory(cards, c, kWwwSites, ui), MoveResult::AlreadyThere);
    EXPECT_EQ(ui.Texts().back(), "Card already in this category");
    EXPECT_EQ(ui.shown.back().caption, MsgCaption::Application);

    EXPECT_EQ(ChangeCardCategory(cards, c, ChangeCategoryTarget(CommandId::MoveToWwwForms), ui),
              MoveResult::Moved);
    EXPECT_EQ(cards.List(kWwwSites).Count(), 0);
    ASSERT_EQ(cards.List(kWwwForms).Count(), 1);
    EXPECT_EQ(cards.List(kWwwForms).CardAt(0), c);
    EXPECT_EQ(c->Category(), kWwwForms);
    EXPECT_EQ(c->ModificationTime(), 77u);
    EXPECT_EQ(ChangeCardCategory(cards, nullptr, kWwwSites, ui), MoveResult::NoCard);
}

TEST_F(CardsCommands, ChangeCategoryMenuCoversEveryCategoryOnce) {
    std::set<int> codes;
    for (const ChangeCategoryItem& item : kChangeCategoryMenu) {
        EXPECT_EQ(ChangeCategoryTarget(item.command), item.code);
        codes.insert(item.code);
    }
    EXPECT_EQ(codes.size(), 15u);
    EXPECT_EQ(ChangeCategoryTarget(CommandId::MoveToNewsgroups), kNewsgroups);
    EXPECT_STREQ(kChangeCategoryMenu[3].text, "NewsGroups");
    EXPECT_EQ(ChangeCategoryTarget(CommandId::NewCard), -1);
}

TEST_F(CardsCommands, CopyThenPasteInAnotherCategory) {
    CCard* src = AddCard(cards, CardFields{.code = kWwwSites,
                                           .name = "Mail",
                                           .address = "u",
                                           .user = "me",
                                           .password = "pw",
                                           .note = "n",
                                           .attributes = 3,
                                           .sync = 0,
                                           .time = 1,
                                           .recordId = 9});
    CardClipboard clip;
    EXPECT_FALSE(clip.Copy(nullptr, profile, kNow));
    EXPECT_FALSE(clip.HasCard());
    ASSERT_TRUE(clip.Copy(src, profile, kNow));

    // Where no category is shown the card stays on the view's clipboard.
    EXPECT_EQ(clip.Paste(cards, "Show All", ui), nullptr);
    EXPECT_EQ(clip.Paste(cards, "Search Results", ui), nullptr);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Please select a category first.",
                                                    "You can not add cards to this category!"}));
    EXPECT_TRUE(clip.HasCard());

    CCard* pasted = clip.Paste(cards, "Software Keys", ui);
    ASSERT_NE(pasted, nullptr);
    EXPECT_FALSE(clip.HasCard());
    EXPECT_EQ(cards.List(kSoftwareKeys).CardAt(0), pasted);
    EXPECT_EQ(pasted->Name(), "Copy of Mail");
    EXPECT_EQ(pasted->Category(), kSoftwareKeys);
    EXPECT_EQ(pasted->Password(), "pw");
    EXPECT_EQ(pasted->Note(), "n");
    EXPECT_EQ(pasted->Attributes(), 3);
    EXPECT_EQ(pasted->ModificationTime(), kNow);
    EXPECT_EQ(pasted->RecordId(), 0u);
    EXPECT_EQ(pasted->SyncByte(), CCard::kChangedBit);
    EXPECT_EQ(cards.List(kWwwSites).Count(), 1);
    EXPECT_EQ(clip.Paste(cards, "Software Keys", ui), nullptr);
}

TEST_F(CardsCommands, FieldTextsAndDataFileCheck) {
    CCard* c = AddCard(
        cards, CardFields{.code = 0, .name = "n", .user = "u", .password = "p", .note = "a\r\nb"});
    EXPECT_EQ(FieldText(c, CardField::Name), "n");
    EXPECT_EQ(FieldText(c, CardField::UserId), "u");
    EXPECT_EQ(FieldText(c, CardField::Password), "p");
    EXPECT_EQ(FieldText(c, CardField::Note), "a\r\nb");
    EXPECT_FALSE(FieldText(nullptr, CardField::Name));

    const std::pair<const char*, bool> addresses[] = {{"/home/me/other.tse", true},
                                                      {"/home/me/OTHER.TSE", false},
                                                      {"http:\\x", true},
                                                      {"http://x", false},
                                                      {"", false}};
    for (const auto& [address, ok] : addresses) {
        SCOPED_TRACE(address);
        c->SetAddress(address);
        ScriptedAnswers local;
        EXPECT_EQ(DataFileToOpen(c, local).has_value(), ok);
        if (!ok) {
            ASSERT_EQ(local.shown.size(), 1u);
            EXPECT_EQ(local.shown[0].text,
                      "File path not correct, not a .tse file, or file not found !");
            EXPECT_EQ(local.shown[0].caption, MsgCaption::Error);
        }
    }
    EXPECT_FALSE(DataFileToOpen(nullptr, ui));
    EXPECT_EQ(ui.Texts().back(), "No card selected, please select a card first!");
}

TEST(CardsCommandState, EnabledRules) {
    struct Case {
        CommandId command;
        bool selection;
        const char* text;
        bool paste;
        bool enabled;
    };
    const Case cases[] = {
        {CommandId::EditCard, false, "WWW Sites", false, false},
        {CommandId::EditCard, true, "WWW Sites", false, true},
        {CommandId::ToolUpdateCard, true, "Show All", false, true},
        {CommandId::ToolCopyPassword, false, "WWW Sites", false, false},
        {CommandId::MoveToMiscellaneous, false, "WWW Sites", false, false},
        {CommandId::MoveToMiscellaneous, true, "WWW Sites", false, true},
        {CommandId::DeleteCard, false, "WWW Sites", false, false},
        {CommandId::DeleteCard, true, "Show All", false, true},
        {CommandId::ToolDeleteCard, true, "Show All", false, true},
        {CommandId::ToolDeleteCard, true, "Search Results", false, true},
        {CommandId::ToolDeleteCard, false, "WWW Sites", false, false},
        {CommandId::NewCard, false, "Show All", false, true},
        {CommandId::ToolAddCard, false, "Show All", false, true},
        {CommandId::CopyPassword, false, "WWW Sites", false, true},
        {CommandId::PasteCard, true, "WWW Sites", false, false},
        {CommandId::PasteCard, false, "WWW Sites", true, true},
        {CommandId::CopyCard, false, "WWW Sites", false, true},
        // The recycle bin's cards are restored or deleted for good, never edited or moved.
        {CommandId::EditCard, true, "Recycle Bin", false, false},
        {CommandId::ToolUpdateCard, true, "Recycle Bin", false, false},
        {CommandId::MoveToMiscellaneous, true, "Recycle Bin", false, false},
        {CommandId::DeleteCard, true, "Recycle Bin", false, true},
        {CommandId::RestoreCard, true, "Recycle Bin", false, true},
        {CommandId::RestoreCard, false, "Recycle Bin", false, false},
        {CommandId::RestoreCard, true, "WWW Sites", false, false},
        {CommandId::DeletePermanently, true, "Recycle Bin", false, true},
        {CommandId::DeletePermanently, true, "Show All", false, false},
        {CommandId::CopyUserId, false, "WWW Sites", false, false},
        {CommandId::CopyAddress, true, "Search Results", false, true},
        {CommandId::OpenAddress, false, "WWW Sites", false, false},
        {CommandId::OpenAddress, true, "Show All", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        CardCommandContext ctx{true, c.selection, c.text, c.paste};
        EXPECT_EQ(IsCardCommandEnabled(c.command, ctx), c.enabled);
        ctx.hasView = false;
        EXPECT_EQ(IsCardCommandEnabled(c.command, ctx), false);
    }
    EXPECT_FALSE(IsCardCommandEnabled(CommandId::FileOpen, CardCommandContext{}).has_value());
}

}  // namespace
}  // namespace tessaline
