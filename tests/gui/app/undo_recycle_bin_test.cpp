// Edit > Undo and Redo, the recycle bin and File > Properties as a user reaches them in
// the main window: every card command undone and redone with the keys, the bin's list with
// Restore Card, Delete Permanently and Empty Recycle Bin, and a focused text field keeping
// its own undo.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <functional>

#include "core/cards/card.h"
#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "core/views/card_list_model.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_card_commands.h"
#include "gui/document/file_properties_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_dialog.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/view_cards.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::ModalWatch;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

using tessaline::testing::CardNamed;

namespace {

// Every list of the document with its cards in order: the fifteen categories, then the bin.
QString State(const CCardCollection& cards) {
    QString out;
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const CCard* c : cards.List(code))
            out +=
                QStringLiteral("%1:%2/%3 ")
                    .arg(code)
                    .arg(QString::fromStdString(c->Name()), QString::fromStdString(c->Password()));
    }
    out += QStringLiteral("| bin:");
    for (const CCard* c : cards.RecycleBin())
        out += QStringLiteral(" %1").arg(QString::fromStdString(c->Name()));
    return out;
}

void Show(WiredFrame& w, const char* category, const char* card = nullptr) {
    w->CategoryBar()->OnCategorySelected(QString::fromLatin1(category));
    if (card != nullptr)
        w->ActiveView()->SelectCard(CardNamed(*w->ActiveView(), card));
}

void PressOnList(WiredFrame& w, Qt::KeyboardModifiers modifiers) {
    QTreeView* list = w->ActiveView()->List();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Z, modifiers);
}

// The list shows what the document holds for the category it shows.
void CheckListShowsDocument(WiredFrame& w) {
    CTessalineNewView* view = w->ActiveView();
    const std::optional<int> count =
        CountOfCategoryText(w->ActiveDocument()->Cards(), view->ShownCategory().toStdString());
    QVERIFY(count.has_value());
    QCOMPARE(view->ItemCount(), *count);
}

}  // namespace

class UndoRecycleBinTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

private slots:
    void initTestCase() {
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(WriteDataFile(cardsFile_,
                              {{.code = kWwwSites, .name = "alpha", .password = "a-pw"},
                               {.code = kWwwSites, .name = "beta", .password = "b-pw"},
                               {.code = kWwwSites, .name = "Bank", .password = "k-pw"},
                               {.code = kBankAccounts, .name = "savings", .password = "s-pw"}}));
    }

    // Each command that changes cards is undone by Ctrl+Z and redone by Ctrl+Shift+Z: the
    // document holds exactly what it held before and after, the list follows, and the menu
    // names the action.
    void everyCardCommandIsUndoneAndRedone() {
        struct Case {
            const char* command;
            // Whatever the command needs done first (not part of what is undone).
            std::function<void(WiredFrame&)> before;
            std::function<void(WiredFrame&)> run;
            QString action;
        };
        auto deleteCard = [](WiredFrame& w, const char* name) {
            Show(w, "WWW Sites", name);
            w.ui.messageAnswers.push_back(MsgAnswer::Ok);
            w->OnCommand(CommandId::DeleteCard);
        };
        const Case cases[] = {
            {"New Card", [](WiredFrame& w) { Show(w, "WWW Sites"); },
             [](WiredFrame& w) {
                 ModalWatch seen = WhenModal<CCardDialog>([](CCardDialog& d) {
                     d.NameEdit()->setText(QStringLiteral("gamma"));
                     QTest::mouseClick(d.OkButton(), Qt::LeftButton);
                 });
                 w->OnCommand(CommandId::NewCard);
                 QVERIFY(seen);
             },
             "New Card \"gamma\""},
            {"Edit Card", [](WiredFrame& w) { Show(w, "WWW Sites", "alpha"); },
             [](WiredFrame& w) {
                 ModalWatch seen = WhenModal<CCardDialog>([](CCardDialog& d) {
                     d.PasswordEdit()->setText(QStringLiteral("changed"));
                     QTest::mouseClick(d.OkButton(), Qt::LeftButton);
                 });
                 w->OnCommand(CommandId::EditCard);
                 QVERIFY(seen);
             },
             "Edit Card \"alpha\""},
            {"Delete Card", [](WiredFrame& w) { Show(w, "WWW Sites", "Bank"); },
             [](WiredFrame& w) {
                 w.ui.messageAnswers.push_back(MsgAnswer::Ok);
                 w->OnCommand(CommandId::DeleteCard);
             },
             "Delete Card \"Bank\""},
            {"Change Category", [](WiredFrame& w) { Show(w, "WWW Sites", "alpha"); },
             [](WiredFrame& w) { w->OnCommand(CommandId::MoveToBankAccounts); },
             "Move Card \"alpha\""},
            {"Paste Card",
             [](WiredFrame& w) {
                 Show(w, "WWW Sites", "beta");
                 w->OnCommand(CommandId::CopyCard);
             },
             [](WiredFrame& w) { w->OnCommand(CommandId::PasteCard); },
             "Paste Card \"Copy of beta\""},
            {"Restore Card",
             [&](WiredFrame& w) {
                 deleteCard(w, "beta");
                 Show(w, "Recycle Bin", "beta");
             },
             [](WiredFrame& w) { w->OnCommand(CommandId::RestoreCard); }, "Restore Card \"beta\""},
            {"Delete Permanently",
             [&](WiredFrame& w) {
                 deleteCard(w, "beta");
                 Show(w, "Recycle Bin", "beta");
             },
             [](WiredFrame& w) {
                 w.ui.messageAnswers.push_back(MsgAnswer::Yes);
                 w->OnCommand(CommandId::DeletePermanently);
             },
             "Delete Card Permanently \"beta\""},
            {"Empty Recycle Bin",
             [&](WiredFrame& w) {
                 deleteCard(w, "beta");
                 deleteCard(w, "alpha");
             },
             [](WiredFrame& w) {
                 w.ui.messageAnswers.push_back(MsgAnswer::Yes);
                 w->OnCommand(CommandId::EmptyRecycleBin);
             },
             "Empty Recycle Bin"},
        };
        for (const Case& c : cases) {
            WiredFrame w;
            QVERIFY(w.ShowAndOpen(cardsFile_));
            CTessalineNewDoc* doc = w->ActiveDocument();
            c.before(w);
            const QString before = State(doc->Cards());
            c.run(w);
            const QString after = State(doc->Cards());
            QVERIFY2(after != before, c.command);
            CheckListShowsDocument(w);
            QVERIFY2(w.Enabled(CommandId::EditUndo), c.command);
            QCOMPARE(w->Action(CommandId::EditUndo)->text(),
                     QStringLiteral("&Undo %1\tCtrl+Z").arg(c.action));

            PressOnList(w, Qt::ControlModifier);
            QCOMPARE(State(doc->Cards()), before);
            CheckListShowsDocument(w);
            QVERIFY(doc->IsModified());
            QVERIFY2(w.Enabled(CommandId::EditRedo), c.command);
            QCOMPARE(w->Action(CommandId::EditRedo)->text(),
                     QStringLiteral("&Redo %1\tCtrl+Shift+Z").arg(c.action));

            PressOnList(w, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(State(doc->Cards()), after);
            CheckListShowsDocument(w);
            QVERIFY2(!w.Enabled(CommandId::EditRedo), c.command);
            QCOMPARE(w->Action(CommandId::EditRedo)->text(), QStringLiteral("&Redo\tCtrl+Shift+Z"));
        }
    }

    // Nothing done yet: Undo and Redo are greyed and name nothing; once the one change is
    // undone, Undo is greyed again.
    void undoIsGreyedWhileThereIsNothingToUndo() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        w->ActiveView()->List()->setFocus();
        QVERIFY(!w.Enabled(CommandId::EditUndo));
        QVERIFY(!w.Enabled(CommandId::EditRedo));
        QCOMPARE(w->Action(CommandId::EditUndo)->text(), QStringLiteral("&Undo\tCtrl+Z"));

        Show(w, "WWW Sites", "Bank");
        w.ui.messageAnswers.push_back(MsgAnswer::Ok);
        w->OnCommand(CommandId::DeleteCard);
        QVERIFY(w.Enabled(CommandId::EditUndo));
        PressOnList(w, Qt::ControlModifier);
        // The card that came back is selected.
        QVERIFY(CardNamed(*w->ActiveView(), "Bank") != nullptr);
        QCOMPARE(w->ActiveView()->SelectedCard(), CardNamed(*w->ActiveView(), "Bank"));
        QVERIFY(!w.Enabled(CommandId::EditUndo));
        QCOMPARE(w->Action(CommandId::EditUndo)->text(), QStringLiteral("&Undo\tCtrl+Z"));
    }

    // Ctrl+Z in a text field with the keys undoes its typing, not a card; the menu then
    // says plain "Undo".
    void focusedTextFieldKeepsItsOwnUndo() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        Show(w, "WWW Sites", "Bank");
        w.ui.messageAnswers.push_back(MsgAnswer::Ok);
        w->OnCommand(CommandId::DeleteCard);
        const QString deleted = State(w->ActiveDocument()->Cards());

        QLineEdit* search = w->CategoryBar()->SearchBox()->lineEdit();
        search->setFocus();
        // (An emptied box goes back to the category, so the text never goes empty here.)
        QTest::keyClicks(search, QStringLiteral("abc"));
        QTest::keyClick(search, Qt::Key_Backspace);
        QCOMPARE(w->Action(CommandId::EditUndo)->text().section('\t', 0, 0),
                 QStringLiteral("&Undo"));
        QTest::keyClick(search, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(search->text(), QStringLiteral("abc"));
        QCOMPARE(State(w->ActiveDocument()->Cards()), deleted);
        QTest::keyClick(search, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(search->text(), QStringLiteral("ab"));
        QCOMPARE(State(w->ActiveDocument()->Cards()), deleted);

        // Back on the list, the same key undoes the delete.
        PressOnList(w, Qt::ControlModifier);
        QVERIFY(w->ActiveDocument()->Cards().RecycleBin().Count() == 0);
    }

    // "Recycle Bin" comes after the fifteen categories; it lists deleted cards with their
    // name, when they were deleted and their category. Restore puts a card back at the end
    // of its category, Delete (key or command) asks and ends it for good; New Card is
    // refused there.
    void recycleBinListsRestoresAndDeletesForGood() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        QComboBox* selector = w->CategoryBar()->Selector();
        QCOMPARE(selector->itemText(15), QStringLiteral("Recycle Bin"));
        QCOMPARE(selector->itemText(16), QStringLiteral("Show All"));

        Show(w, "WWW Sites", "alpha");
        w.ui.messageAnswers.push_back(MsgAnswer::Ok);
        w->OnCommand(CommandId::DeleteCard);
        QVERIFY(!w.Enabled(CommandId::RestoreCard));
        QVERIFY(w.Enabled(CommandId::EmptyRecycleBin));

        Show(w, "Recycle Bin");
        CTessalineNewView* view = w->ActiveView();
        QCOMPARE(w->ItemCountText(), QStringLiteral("Items: 1"));
        QTreeView* list = view->List();
        QStringList shownTitles;
        for (int c = 0; c < view->Model()->columnCount(); ++c) {
            if (!list->isColumnHidden(c))
                shownTitles << view->Model()->headerData(c, Qt::Horizontal).toString();
        }
        QCOMPARE(shownTitles, (QStringList{"Name", "Deleted", "Category"}));
        const QString deletedAt = view->Model()->index(0, kColumnModified).data().toString();
        QVERIFY2(deletedAt.startsWith(QDate::currentDate().toString(Qt::ISODate)),
                 qPrintable(deletedAt));
        QCOMPARE(view->Model()->index(0, kColumnCategory).data().toString(),
                 QStringLiteral("WWW Sites"));

        // Editing, moving and new cards are not for the bin.
        view->SelectCard(CardNamed(*view, "alpha"));
        QVERIFY(!w.Enabled(CommandId::EditCard));
        QVERIFY(!w.Enabled(CommandId::MoveToBankAccounts));
        w->OnCommand(CommandId::NewCard);
        QCOMPARE(w.ui.Texts().back(), std::string("You can not add cards to this category!"));

        // The right-click menu offers Restore Card and Delete Permanently.
        auto* cardCommands = w->findChild<CFrameCardCommands*>();
        QVERIFY(cardCommands);
        emit w->CardListContextMenu(view, list->mapToGlobal(QPoint(10, 10)));
        QMenu* menu = cardCommands->LastContextMenu();
        QVERIFY(menu);
        QStringList items;
        for (QAction* a : menu->actions()) {
            if (!a->isSeparator())
                items << a->text();
        }
        QCOMPARE(items.mid(0, 2), (QStringList{"&Restore Card", "Delete &Permanently..."}));
        menu->actions().constFirst()->trigger();
        menu->close();
        QCOMPARE(view->ItemCount(), 0);
        const CCategoryList& sites = w->ActiveDocument()->Cards().List(kWwwSites);
        QCOMPARE(sites.CardAt(sites.Count() - 1)->Name(), std::string("alpha"));

        // Delete in the bin asks; No keeps the card, Yes ends it.
        Show(w, "WWW Sites", "beta");
        w.ui.messageAnswers.push_back(MsgAnswer::Ok);
        w->OnCommand(CommandId::DeleteCard);
        Show(w, "Recycle Bin", "beta");
        w.ui.messageAnswers = {MsgAnswer::No, MsgAnswer::Yes};
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(w.ui.Texts().back(),
                 std::string("Delete \"beta\" permanently? It cannot be restored from the "
                             "recycle bin."));
        QCOMPARE(view->ItemCount(), 1);
        view->SelectCard(CardNamed(*view, "beta"));
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(view->ItemCount(), 0);
        QVERIFY(!w.Enabled(CommandId::EmptyRecycleBin));
    }

    // File > Empty Recycle Bin... asks once for every card in it; No keeps them all.
    void emptyRecycleBinAsksOnce() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        for (const char* name : {"alpha", "beta", "Bank"}) {
            Show(w, "WWW Sites", name);
            w.ui.messageAnswers.push_back(MsgAnswer::Ok);
            w->OnCommand(CommandId::DeleteCard);
        }
        Show(w, "Recycle Bin");
        w.ui.ClearShown();
        w.ui.messageAnswers.push_back(MsgAnswer::No);
        w->OnCommand(CommandId::EmptyRecycleBin);
        QCOMPARE(w->ActiveView()->ItemCount(), 3);
        w.ui.messageAnswers.push_back(MsgAnswer::Yes);
        w->OnCommand(CommandId::EmptyRecycleBin);
        QCOMPARE(w.ui.Texts(),
                 (std::vector<std::string>(
                     2,
                     "Delete the 3 cards in the recycle bin permanently? They cannot be "
                     "restored.")));
        QCOMPARE(w->ActiveView()->ItemCount(), 0);
        QCOMPARE(w->ActiveDocument()->Cards().List(kWwwSites).Count(), 0);
    }

    // File > Properties... sets how many earlier versions each card keeps; fewer than the
    // cards keep now drops the oldest after saying how many.
    void propertiesSetTheVersionsKeptPerCard() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        CTessalineNewDoc* doc = w->ActiveDocument();
        QCOMPARE(doc->Cards().HistorySize(), 10);
        Show(w, "WWW Sites", "alpha");
        for (const char* password : {"p2", "p3", "p4"}) {
            ModalWatch seen = WhenModal<CCardDialog>([password](CCardDialog& d) {
                d.PasswordEdit()->setText(QString::fromLatin1(password));
                QTest::mouseClick(d.OkButton(), Qt::LeftButton);
            });
            w->OnCommand(CommandId::EditCard);
            QVERIFY(seen);
        }
        CCard* alpha = CardNamed(*w->ActiveView(), "alpha");
        QCOMPARE(alpha->History().size(), std::size_t{3});

        auto setSize = [&](int versions) {
            return WhenModal<CFilePropertiesDialog>([versions](CFilePropertiesDialog& d) {
                QCOMPARE(d.HistorySizeBox()->value(), 10);
                d.HistorySizeBox()->setValue(versions);
                d.accept();
            });
        };
        // Cancel at the question changes nothing.
        w.ui.messageAnswers.push_back(MsgAnswer::Cancel);
        ModalWatch seen = setSize(1);
        w->OnCommand(CommandId::FileProperties);
        QVERIFY(seen);
        QCOMPARE(w.ui.Texts().back(),
                 std::string("Each card will keep at most 1 earlier versions: 2 older versions "
                             "will be deleted."));
        QCOMPARE(doc->Cards().HistorySize(), 10);
        QCOMPARE(alpha->History().size(), std::size_t{3});

        w.ui.messageAnswers.push_back(MsgAnswer::Ok);
        seen = setSize(1);
        w->OnCommand(CommandId::FileProperties);
        QVERIFY(seen);
        QCOMPARE(doc->Cards().HistorySize(), 1);
        QCOMPARE(alpha->History().size(), std::size_t{1});
        QCOMPARE(alpha->History().front().Password(), std::string("p3"));
        QVERIFY(doc->IsModified());
    }
};

QTEST_MAIN(UndoRecycleBinTest)
#include "undo_recycle_bin_test.moc"
