#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/cards/card_date.h"
#include "core/cards/card_identity.h"
#include "core/cards/card_versions.h"
#include "core/cards/categories.h"
#include "core/document/card_change.h"
#include "core/document/document_model.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "core/views/card_changes.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::CardFields;
using testing::ScriptedAnswers;

constexpr std::int64_t kNowMs = 1'800'000'000'000;  // 2027
const ChangeTime kNow{kNowMs, 3'900'000'000u};
const ChangeTime kLater{kNowMs + 5'000, 3'900'000'005u};

std::string Hex(const CCard& c) {
    return IdentityHex(c.Identity());
}

// Everything a card holds, its earlier versions included.
std::string Whole(const CCard& c) {
    std::string s = c.Name() + "|" + c.Address() + "|" + c.UserId() + "|" + c.Password() + "|" +
                    c.Note() + "|c" + std::to_string(c.Category()) + "|" + c.CategoryNameText() +
                    "|" + c.DateText() + "|a" + std::to_string(c.Attributes()) + "|s" +
                    std::to_string(c.SyncByte()) + "|t" + std::to_string(c.ModificationTime()) +
                    "|r" + std::to_string(c.RecordId()) + "|id" + Hex(c) + "|m" +
                    std::to_string(c.CreatedMs()) + "/" + std::to_string(c.ModifiedMs()) + "|b" +
                    std::to_string(c.RecycledMs()) + "|o" + c.OtpUri() + "|e" +
                    std::to_string(c.ExpiresMs().value_or(-1));
    for (const std::string& tag : c.Tags())
        s += "|tag:" + tag;
    for (const CustomField& f : c.CustomFields())
        s += "|f:" + f.name + "=" + f.value + (f.isProtected ? "*" : "");
    for (const CCard& v : c.History())
        s += "\n  <" + Whole(v) + ">";
    return s;
}

// The whole collection as the user (and a saved file) would see it: every list in order,
// each card with everything it holds and which card object it is, and the tombstones.
std::vector<std::string> StateOf(const CCardCollection& cards) {
    std::vector<std::string> out;
    auto list = [&](const std::string& name, const CCategoryList& l) {
        for (int i = 0; i < l.Count(); ++i) {
            const CCard* c = l.CardAt(i);
            out.push_back(name + "#" + std::to_string(i) + "@" +
                          std::to_string(reinterpret_cast<std::uintptr_t>(c)) + " " + Whole(*c));
        }
    };
    for (int code = 0; code < kCategoryCount; ++code)
        list(std::to_string(code), cards.List(code));
    list("bin", cards.RecycleBin());
    list("deleted", cards.DeletedList());
    for (const Tombstone& t : cards.Tombstones())
        out.push_back("tomb " + IdentityHex(t.identity) + " " + std::to_string(t.deletedMs));
    return out;
}

CCard* Find(CCardCollection& cards, const std::string& name) {
    for (int code = 0; code < kCategoryCount; ++code)
        for (CCard* c : cards.List(code))
            if (c->Name() == name)
                return c;
    for (CCard* c : cards.RecycleBin())
        if (c->Name() == name)
            return c;
    return nullptr;
}

// A document with a few cards in the places that matter.
struct SeededDocument {
    SeededDocument() {
        CCardCollection& cards = doc.Cards();
        // Three cards in one list, so that positions matter; one in another list; two in
        // the recycle bin, one of them known to the handheld.
        for (const char* name : {"Bank", "Shop", "Mail"}) {
            CCard* c = AddCard(cards, CardFields{.code = kBankAccounts,
                                                 .name = name,
                                                 .user = std::string(name) + "-user",
                                                 .password = std::string(name) + "-pw",
                                                 .time = 100});
            StampNewCard(*c, 1000);
        }
        CCard* w = AddCard(cards, CardFields{.code = kWwwSites, .name = "Web", .password = "w"});
        StampNewCard(*w, 1000);
        for (std::uint32_t id : {0u, 77u}) {
            CCard* b =
                cards.Adopt(testing::MakeCard(CardFields{.code = kCreditCards,
                                                         .name = id ? "Binned-handheld" : "Binned",
                                                         .password = "secret",
                                                         .recordId = id}));
            StampNewCard(*b, 1000);
            b->SetRecycledMs(2000);
            cards.RecycleBin().AddCard(b);
        }
        // A card with two earlier versions, the older one in another category.
        CCard* h = AddCard(
            cards, CardFields{.code = kEmailAccounts, .name = "Versions", .password = "v3"});
        StampNewCard(*h, 1000);
        CCard v1 = VersionOf(*h);
        v1.SetPassword("v1");
        v1.SetCategory(kLoginAccounts);
        CCard v2 = VersionOf(*h);
        v2.SetPassword("v2");
        h->SetHistory({v1, v2});
        doc.SetModified(false);
    }

    ScriptedAnswers ui;
    MemoryProfile profile;
    DocumentModel doc{ui, profile, nullptr};
};

class CardChanges : public ::testing::Test {
protected:
    SeededDocument seeded;
    ScriptedAnswers& ui = seeded.ui;
    MemoryProfile& profile = seeded.profile;
    DocumentModel& doc = seeded.doc;
};

struct Command {
    const char* what;
    const char* undoText;
    std::function<bool(SeededDocument&, DocumentModel&)> run;
};

CardEditorFields EditedFields(const CCard& c) {
    CardEditorFields f = PresetForEdit(c);
    f.password = "changed";
    f.note = "new note";
    return f;
}

// Each command, undone, leaves exactly what was there (texts, times, history, identities,
// list positions, the very card objects, tombstones); redone, exactly what it made.
TEST(CardChangesUndo, EveryCommandIsUndoneAndRedoneExactly) {
    const std::vector<Command> commands = {
        {"new", "Undo New Card \"Fresh\"",
         [](SeededDocument& t, DocumentModel& d) {
             CardEditorFields f = PresetForNewCard("Bank Accounts");
             f.name = "Fresh";
             f.password = "p";
             return NewCard(d, "Bank Accounts", f, t.profile, kNow) != nullptr;
         }},
        {"edit", "Undo Edit Card \"Shop\"",
         [](SeededDocument& t, DocumentModel& d) {
             CCard* c = Find(d.Cards(), "Shop");
             return EditCard(d, *c, EditedFields(*c), t.profile, kNow);
         }},
        {"change optional fields", "Undo Edit Fields \"Shop\"",
         [](SeededDocument& t, DocumentModel& d) {
             CCard* c = Find(d.Cards(), "Shop");
             return ChangeCard(
                 d, *c,
                 [](CCard& card) {
                     card.SetTags({"work", "money"});
                     card.SetCustomFields({{"PIN", "1234", true}});
                 },
                 t.profile, kNow, CardActionName("Edit Fields", *c));
         }},
        {"generator use", "Undo Use Generated Password \"Bank\"",
         [](SeededDocument& t, DocumentModel& d) {
             return UseGeneratedPassword(d, Find(d.Cards(), "Bank"), "G3n!", t.profile, kNow);
         }},
        {"move", "Undo Move Card \"Shop\"",
         [](SeededDocument& t, DocumentModel& d) {
             return MoveCard(d, Find(d.Cards(), "Shop"), kWwwSites, t.ui, kNow) ==
                    MoveResult::Moved;
         }},
        {"delete", "Undo Delete Card \"Shop\"",
         [](SeededDocument& t, DocumentModel& d) {
             t.ui.messageAnswers.push_back(MsgAnswer::Ok);
             return DeleteCardToBin(d, "Bank Accounts", Find(d.Cards(), "Shop"), t.ui, kNow);
         }},
        {"restore from bin", "Undo Restore Card \"Binned\"",
         [](SeededDocument&, DocumentModel& d) {
             return RestoreFromRecycleBin(d, Find(d.Cards(), "Binned"));
         }},
        {"paste", "Undo Paste Card \"Copy of Mail\"",
         [](SeededDocument& t, DocumentModel& d) {
             CardClipboard clipboard;
             clipboard.Copy(Find(d.Cards(), "Mail"), t.profile, kNow.legacy);
             return PasteCard(d, clipboard, "WWW Sites", t.ui, kNow) != nullptr;
         }},
        {"import", "Undo Import 2 Cards",
         [](SeededDocument&, DocumentModel& d) {
             std::vector<CCard> in{testing::MakeCard({.code = kBankAccounts, .name = "I1"}),
                                   testing::MakeCard({.code = kWwwSites, .name = "I2"})};
             return ImportCards(d, in, kNow) == 2;
         }},
        {"delete permanently from the bin", "Undo Delete Card Permanently \"Binned\"",
         [](SeededDocument&, DocumentModel& d) {
             return DeletePermanently(d, Find(d.Cards(), "Binned"), kNow);
         }},
        {"delete a handheld card permanently", "Undo Delete Card Permanently \"Binned-handheld\"",
         [](SeededDocument&, DocumentModel& d) {
             return DeletePermanently(d, Find(d.Cards(), "Binned-handheld"), kNow);
         }},
        {"delete permanently from a category", "Undo Delete Card Permanently \"Shop\"",
         [](SeededDocument&, DocumentModel& d) {
             return DeletePermanently(d, Find(d.Cards(), "Shop"), kNow);
         }},
        {"empty the bin", "Undo Empty Recycle Bin",
         [](SeededDocument&, DocumentModel& d) { return EmptyRecycleBin(d, kNow) == 2; }},
        {"restore an earlier version", "Undo Restore Earlier Version \"Versions\"",
         [](SeededDocument& t, DocumentModel& d) {
             return RestoreEarlierVersion(d, Find(d.Cards(), "Versions"), 0, t.profile, kNow);
         }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.what);
        // Each command on a document of its own.
        SeededDocument fresh;
        DocumentModel& d = fresh.doc;
        const std::vector<std::string> before = StateOf(d.Cards());
        ASSERT_TRUE(command.run(fresh, d));
        const std::vector<std::string> after = StateOf(d.Cards());
        EXPECT_NE(after, before);
        EXPECT_TRUE(d.IsModified());
        EXPECT_EQ(d.CardUndo().UndoText(), command.undoText);
        EXPECT_EQ(d.CardUndo().RedoText(), "Redo");

        d.SetModified(false);
        ASSERT_TRUE(d.UndoCardChange());
        EXPECT_EQ(StateOf(d.Cards()), before);
        EXPECT_TRUE(d.IsModified());
        EXPECT_EQ(d.CardUndo().UndoText(), "Undo");
        EXPECT_EQ(d.CardUndo().RedoText(), "Redo" + std::string(command.undoText).substr(4));

        ASSERT_TRUE(d.RedoCardChange());
        EXPECT_EQ(StateOf(d.Cards()), after);
        ASSERT_TRUE(d.UndoCardChange());
        EXPECT_EQ(StateOf(d.Cards()), before);
        EXPECT_FALSE(d.UndoCardChange());
    }
}

// Several actions undone in turn come back in reverse order to the very first state.
TEST_F(CardChanges, ASequenceUndoesBackToTheStart) {
    const std::vector<std::string> start = StateOf(doc.Cards());
    CCard* shop = Find(doc.Cards(), "Shop");
    ASSERT_TRUE(EditCard(doc, *shop, EditedFields(*shop), profile, kNow));
    ASSERT_EQ(MoveCard(doc, shop, kWwwSites, ui, kNow), MoveResult::Moved);
    ASSERT_TRUE(MoveToRecycleBin(doc, shop, kNow));
    ASSERT_EQ(EmptyRecycleBin(doc, kLater), 3);
    const std::vector<std::string> end = StateOf(doc.Cards());
    ASSERT_EQ(doc.CardUndo().UndoCount(), 4u);
    while (doc.UndoCardChange()) {
    }
    EXPECT_EQ(StateOf(doc.Cards()), start);
    while (doc.RedoCardChange()) {
    }
    EXPECT_EQ(StateOf(doc.Cards()), end);
}

TEST_F(CardChanges, ANewChangeDropsWhatCouldBeRedone) {
    CCard* bank = Find(doc.Cards(), "Bank");
    ASSERT_TRUE(UseGeneratedPassword(doc, bank, "one", profile, kNow));
    ASSERT_TRUE(doc.UndoCardChange());
    ASSERT_TRUE(doc.CardUndo().CanRedo());
    ASSERT_TRUE(UseGeneratedPassword(doc, bank, "two", profile, kLater));
    EXPECT_FALSE(doc.CardUndo().CanRedo());
    EXPECT_FALSE(doc.RedoCardChange());
    EXPECT_EQ(bank->Password(), "two");
}

// Saving keeps what can be undone; undoing after a save leaves the document modified.
TEST_F(CardChanges, SavingKeepsWhatCanBeUndone) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tessaline-card-changes-" + std::to_string(::getpid()) + ".tsf");
    CCard* bank = Find(doc.Cards(), "Bank");
    ASSERT_TRUE(UseGeneratedPassword(doc, bank, "saved", profile, kNow));
    // The plain layout cannot keep the recycle bin and the history: save without them.
    ui.buttonAnswers.push_back(1);
    ASSERT_TRUE(doc.SaveTo(path.string()));
    std::filesystem::remove(path);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.CardUndo().UndoText(), "Undo Use Generated Password \"Bank\"");
    ASSERT_TRUE(doc.UndoCardChange());
    EXPECT_EQ(bank->Password(), "Bank-pw");
    EXPECT_TRUE(doc.IsModified());
}

// Locking wipes the cards, and what could be undone with them; the unsaved change itself
// comes back with the unlock.
TEST_F(CardChanges, LockingForgetsWhatCouldBeUndone) {
    profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
    profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
    ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "hunter22", "hunter22", false});
    doc.EncryptOnSave();
    ASSERT_TRUE(UseGeneratedPassword(doc, Find(doc.Cards(), "Bank"), "unsaved", profile, kNow));
    ASSERT_TRUE(doc.CardUndo().CanUndo());
    ASSERT_TRUE(doc.Lock());
    EXPECT_FALSE(doc.CardUndo().CanUndo());
    EXPECT_FALSE(doc.UndoCardChange());
    ASSERT_TRUE(doc.Unlock("hunter22"));
    EXPECT_FALSE(doc.CardUndo().CanUndo());
    EXPECT_EQ(Find(doc.Cards(), "Bank")->Password(), "unsaved");
}

TEST_F(CardChanges, ANewDocumentForgetsTheUndoneChanges) {
    ASSERT_TRUE(MoveToRecycleBin(doc, Find(doc.Cards(), "Bank"), kNow));
    ASSERT_TRUE(doc.CardUndo().CanUndo());
    doc.NewDocument();
    EXPECT_FALSE(doc.CardUndo().CanUndo());
    EXPECT_FALSE(doc.UndoCardChange());
}

// The editor, a command and the generator all keep the version they replace, complete and
// without nested history; the file's history size keeps the newest, dropping the oldest.
TEST_F(CardChanges, ChangesKeepTheReplacedVersionUpToTheHistorySize) {
    doc.Cards().SetHistorySize(2);
    CCard* bank = Find(doc.Cards(), "Bank");
    bank->SetTags({"t"});
    const CardIdentity identity = bank->Identity();
    ASSERT_TRUE(UseGeneratedPassword(doc, bank, "pw2", profile, kNow));
    ASSERT_TRUE(EditCard(doc, *bank, EditedFields(*bank), profile, kLater));
    ASSERT_EQ(MoveCard(doc, bank, kWwwSites, ui, ChangeTime{kLater.ms + 1, kLater.legacy}),
              MoveResult::Moved);

    ASSERT_EQ(bank->History().size(), 2u);
    const CCard& older = bank->History()[0];
    const CCard& newer = bank->History()[1];
    EXPECT_EQ(older.Password(), "pw2");  // "Bank-pw" (the oldest) was dropped
    EXPECT_EQ(older.ModifiedMs(), kNowMs);
    EXPECT_EQ(older.Tags(), std::vector<std::string>{"t"});
    EXPECT_EQ(newer.Password(), "changed");
    EXPECT_EQ(newer.Note(), "new note");
    EXPECT_EQ(newer.Category(), kBankAccounts);
    EXPECT_EQ(newer.ModifiedMs(), kLater.ms);
    EXPECT_TRUE(older.History().empty());
    EXPECT_TRUE(newer.History().empty());
    EXPECT_EQ(bank->Identity(), identity);
    EXPECT_EQ(bank->ModifiedMs(), kLater.ms + 1);
    EXPECT_EQ(bank->CreatedMs(), 1000);

    doc.Cards().SetHistorySize(0);
    CCard* mail = Find(doc.Cards(), "Mail");
    ASSERT_TRUE(UseGeneratedPassword(doc, mail, "x", profile, kNow));
    EXPECT_TRUE(mail->History().empty());
}

TEST_F(CardChanges, AnEditThatChangesNothingRecordsNothing) {
    CCard* bank = Find(doc.Cards(), "Bank");
    const std::string before = Whole(*bank);
    EXPECT_FALSE(EditCard(doc, *bank, PresetForEdit(*bank), profile, kNow));
    EXPECT_FALSE(ChangeCard(
        doc, *bank, [](CCard&) {}, profile, kNow, "x"));
    EXPECT_EQ(Whole(*bank), before);
    EXPECT_FALSE(doc.CardUndo().CanUndo());
    EXPECT_FALSE(doc.IsModified());
}

// Restoring an earlier version loses nothing: the current one goes to the history, the
// restored one leaves it, and a version of another category takes the card there.
TEST_F(CardChanges, RestoringAnEarlierVersionKeepsTheCurrentOne) {
    CCard* card = Find(doc.Cards(), "Versions");
    const CardIdentity identity = card->Identity();
    ASSERT_TRUE(RestoreEarlierVersion(doc, card, 1, profile, kNow));
    EXPECT_EQ(card->Password(), "v2");
    ASSERT_EQ(card->History().size(), 2u);
    EXPECT_EQ(card->History()[0].Password(), "v1");
    EXPECT_EQ(card->History()[1].Password(), "v3");
    EXPECT_EQ(card->Identity(), identity);
    EXPECT_EQ(card->ModifiedMs(), kNowMs);
    EXPECT_EQ(card->ModificationTime(), kNow.legacy);

    ASSERT_TRUE(RestoreEarlierVersion(doc, card, 0, profile, kLater));
    EXPECT_EQ(card->Password(), "v1");
    EXPECT_EQ(card->Category(), kLoginAccounts);
    EXPECT_EQ(doc.Cards().List(kEmailAccounts).IndexOf(card), -1);
    EXPECT_EQ(doc.Cards().List(kLoginAccounts).IndexOf(card), 0);
    ASSERT_EQ(card->History().size(), 2u);
    EXPECT_EQ(card->History()[0].Password(), "v3");
    EXPECT_EQ(card->History()[1].Password(), "v2");
    EXPECT_FALSE(RestoreEarlierVersion(doc, card, 2, profile, kLater));
}

TEST_F(CardChanges, DeleteMovesToTheBinAndRestorePutsItBackAtTheEnd) {
    CCardCollection& cards = doc.Cards();
    CCard* shop = Find(cards, "Shop");
    cards.GatherAndSearch("shop");
    ASSERT_EQ(cards.SearchResults().Count(), 1);

    // Under Show All too; Cancel keeps the card.
    ui.messageAnswers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(DeleteCardToBin(doc, "Show All", shop, ui, kNow));
    ui.messageAnswers.push_back(MsgAnswer::Ok);
    ASSERT_TRUE(DeleteCardToBin(doc, "Search Results", shop, ui, kNow));
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{"Are you sure you want to delete the card \"Shop\"?",
                                        "Are you sure you want to delete the card \"Shop\"?"}));
    EXPECT_EQ(cards.List(kBankAccounts).IndexOf(shop), -1);
    EXPECT_EQ(cards.SearchResults().Count(), 0);
    EXPECT_EQ(cards.RecycleBin().IndexOf(shop), 2);
    EXPECT_EQ(shop->RecycledMs(), kNowMs);
    EXPECT_EQ(shop->Password(), "Shop-pw");  // everything stays while it is in the bin
    EXPECT_EQ(cards.DeletedList().Count(), 0);
    EXPECT_FALSE(MoveToRecycleBin(doc, shop, kNow));  // already there

    ASSERT_TRUE(RestoreFromRecycleBin(doc, shop));
    EXPECT_EQ(cards.List(kBankAccounts).IndexOf(shop), 2);  // the end of its category
    EXPECT_EQ(shop->RecycledMs(), 0);
    EXPECT_FALSE(RestoreFromRecycleBin(doc, shop));
}

// Deleted for good, a card leaves a tombstone; one the handheld knows stays as a deleted
// card with only what sync needs, any other keeps nothing.
TEST_F(CardChanges, DeletingPermanentlyLeavesATombstone) {
    CCardCollection& cards = doc.Cards();
    CCard* plain = Find(cards, "Binned");
    CCard* handheld = Find(cards, "Binned-handheld");
    handheld->SetTags({"secret tag"});
    handheld->SetHistory({VersionOf(*handheld)});
    const CardIdentity plainId = plain->Identity();
    const CardIdentity handheldId = handheld->Identity();

    ASSERT_EQ(EmptyRecycleBin(doc, kNow), 2);
    EXPECT_EQ(cards.RecycleBin().Count(), 0);
    EXPECT_EQ(cards.Tombstones(),
              (std::vector<Tombstone>{{plainId, kNowMs}, {handheldId, kNowMs}}));
    ASSERT_EQ(cards.DeletedList().Count(), 1);
    EXPECT_EQ(cards.DeletedList().CardAt(0), handheld);
    EXPECT_TRUE(handheld->Deleted());
    EXPECT_EQ(handheld->RecordId(), 77u);
    EXPECT_EQ(handheld->Name(), "Binned-handheld");
    EXPECT_EQ(handheld->Password(), "");
    EXPECT_TRUE(handheld->History().empty());
    EXPECT_TRUE(handheld->Tags().empty());
    EXPECT_EQ(plain->Name(), "");
    EXPECT_EQ(plain->Password(), "");
    EXPECT_EQ(EmptyRecycleBin(doc, kNow), 0);
}

TEST_F(CardChanges, APastedCopyIsANewCardAndAMovedCardKeepsItsIdentity) {
    CCard* mail = Find(doc.Cards(), "Mail");
    ASSERT_TRUE(UseGeneratedPassword(doc, mail, "new", profile, kNow));
    mail->SetTags({"t"});
    CardClipboard clipboard;
    clipboard.Copy(mail, profile, kNow.legacy);
    CCard* copy = PasteCard(doc, clipboard, "WWW Sites", ui, kLater);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(HasIdentity(copy->Identity()));
    EXPECT_NE(copy->Identity(), mail->Identity());
    EXPECT_EQ(copy->CreatedMs(), kLater.ms);
    EXPECT_EQ(copy->ModifiedMs(), kLater.ms);
    EXPECT_TRUE(copy->History().empty());
    EXPECT_EQ(copy->Tags(), std::vector<std::string>{"t"});
    EXPECT_EQ(copy->Password(), "new");

    const CardIdentity id = mail->Identity();
    ASSERT_EQ(MoveCard(doc, mail, kCreditCards, ui, kLater), MoveResult::Moved);
    EXPECT_EQ(mail->Identity(), id);
    EXPECT_EQ(mail->ModifiedMs(), kLater.ms);
}

TEST_F(CardChanges, NewAndImportedCardsGetIdentitiesAndTimes) {
    CardEditorFields f = PresetForNewCard("Bank Accounts");
    f.name = "n";
    CCard* made = NewCard(doc, "Bank Accounts", f, profile, kNow);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(HasIdentity(made->Identity()));
    EXPECT_EQ(made->CreatedMs(), kNowMs);
    EXPECT_EQ(made->ModifiedMs(), kNowMs);
    EXPECT_EQ(made->ModificationTime(), kNow.legacy);

    std::vector<CCard> in{testing::MakeCard({.code = kWwwSites, .name = "a"}),
                          testing::MakeCard({.code = 99, .name = "nowhere"})};
    ASSERT_EQ(ImportCards(doc, in, kNow), 2);
    CCard* a = Find(doc.Cards(), "a");
    CCard* nowhere = Find(doc.Cards(), "nowhere");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(nowhere, nullptr);  // never orphaned
    EXPECT_EQ(nowhere->Category(), kMiscellaneous);
    EXPECT_NE(a->Identity(), nowhere->Identity());
    EXPECT_EQ(a->CreatedMs(), kNowMs);
}

TEST(CardVersions, OldTombstonesAreDroppedAfterAYear) {
    const CardIdentity a = MakeCardIdentity(), b = MakeCardIdentity(), c = MakeCardIdentity();
    std::vector<Tombstone> t{
        {a, kNowMs - kTombstoneKeepMs - 1}, {b, kNowMs - kTombstoneKeepMs}, {c, kNowMs - 1}};
    DropOldTombstones(t, kNowMs);
    EXPECT_EQ(t, (std::vector<Tombstone>{{b, kNowMs - kTombstoneKeepMs}, {c, kNowMs - 1}}));
}

TEST(CardVersions, TheLegacyTimeFollowsTheMilliseconds) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const ChangeTime t = ChangeTimeOfMs(1'700'000'000'999);
    EXPECT_EQ(t.legacy, 1'700'000'000u + kSeconds1904To1970);
    EXPECT_EQ(ChangeTimeOfMs(-5'000'000'000'000).legacy, 0u);  // before 1904
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace tessaline
