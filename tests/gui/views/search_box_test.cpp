// The search box as a user types into it in the real window: Escape and an emptied box
// go back to the category, picking a category empties the box, each document keeps its
// own search text, passwords are searched only when asked for, Tab and Down lead into
// the list, and a lock or a close wipes what was typed.

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/child_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

namespace {

constexpr const char* kPassword = "correct horse";

QStringList RowNames(CTessalineNewView& view) {
    QStringList out;
    for (const CCard* card : view.Model()->Rows())
        out << QString::fromStdString(card->Name());
    return out;
}

// Picks an entry of the selector as a user does.
void Pick(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY(index >= 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

}  // namespace

class SearchBoxTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cards_;
    QString secret_;

    // Types text into the search box and presses Enter.
    static void TypeSearch(WiredFrame& w, const QString& text) {
        QLineEdit* box = w->CategoryBar()->SearchBox()->lineEdit();
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

private slots:
    void initTestCase() {
        cards_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(WriteDataFile(
            cards_, {{.code = kWwwSites, .name = "mail", .user = "ann", .password = "s3cret-pw"},
                     {.code = kBankAccounts, .name = "bank", .note = "mail statements"},
                     {.code = kBankAccounts, .name = "loan"}}));
        secret_ = dir_.filePath(QStringLiteral("secret.tse"));
        QVERIFY(WriteDataFile(secret_, {{.code = kWwwSites, .name = "vault"}}, kPassword));
    }

    void escapeAndAnEmptiedBoxGoBackToTheCategory() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cards_));
        CTessalineNewView* view = w->ActiveView();
        Pick(w->CategoryBar()->Selector(), QStringLiteral("Bank Accounts"));
        QLineEdit* box = w->CategoryBar()->SearchBox()->lineEdit();

        TypeSearch(w, QStringLiteral("mail"));
        QCOMPARE(view->ShownCategory(), QStringLiteral("Search Results"));
        QCOMPARE(RowNames(*view), (QStringList{"bank", "mail"}));
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->text(), QString());
        QCOMPARE(view->ShownCategory(), QStringLiteral("Bank Accounts"));
        QCOMPARE(w->CategoryBar()->Selector()->currentText(), QStringLiteral("Bank Accounts"));

        TypeSearch(w, QStringLiteral("loan"));
        QCOMPARE(RowNames(*view), QStringList{"loan"});
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(view->ShownCategory(), QStringLiteral("Bank Accounts"));

        // Choosing a category ends the search and empties the box.
        TypeSearch(w, QStringLiteral("loan"));
        Pick(w->CategoryBar()->Selector(), QStringLiteral("WWW Sites"));
        QCOMPARE(box->text(), QString());
        QCOMPARE(RowNames(*view), QStringList{"mail"});
        QVERIFY(w.ui.Texts().empty());
    }

    void passwordsAreSearchedOnlyWhenAskedFor() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cards_));
        CTessalineNewView* view = w->ActiveView();
        TypeSearch(w, QStringLiteral("S3CRET"));
        QCOMPARE(view->ShownCategory(), QStringLiteral("Search Results"));
        QCOMPARE(view->ItemCount(), 0);
        w.profile.WriteInt(prefs::kGeneralSection, prefs::kSearchPasswords, 1);
        TypeSearch(w, QStringLiteral("S3CRET"));
        QCOMPARE(RowNames(*view), QStringList{"mail"});
    }

    void tabAndDownLeadIntoTheList() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cards_));
        CTessalineNewView* view = w->ActiveView();
        QLineEdit* box = w->CategoryBar()->SearchBox()->lineEdit();
        TypeSearch(w, QStringLiteral("mail"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), view->List());

        // Down moves into the list onto its first card, and on from a selected one.
        view->SelectCard(nullptr);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), view->List());
        QCOMPARE(view->SelectedCard(), view->Model()->Rows().at(0));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(view->SelectedCard(), view->Model()->Rows().at(1));
        // Typed and not yet searched: Down searches first.
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("loan"));
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(RowNames(*view), QStringList{"loan"});
        QCOMPARE(view->SelectedCard()->Name(), std::string("loan"));
    }

    void eachDocumentKeepsItsOwnSearchText() {
        WiredFrame w;
        CChildFrame* first = w.ShowAndOpen(cards_);
        QVERIFY(first);
        TypeSearch(w, QStringLiteral("mail"));
        CChildFrame* second = w->NewDocument();
        QVERIFY(second);
        QLineEdit* box = w->CategoryBar()->SearchBox()->lineEdit();
        QCOMPARE(box->text(), QString());
        w->MdiArea()->setActiveSubWindow(first);
        QCOMPARE(box->text(), QStringLiteral("mail"));
        QCOMPARE(first->View()->ShownCategory(), QStringLiteral("Search Results"));
    }

    // What was typed may be a secret: a lock and a close wipe the box and its list.
    void lockAndCloseWipeTheSearchTexts() {
        WiredFrame w;
        w.profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
        w.profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
        w.ui.passwords.push_back(kPassword);
        CChildFrame* child = w.ShowAndOpen(secret_);
        QVERIFY(child);
        QComboBox* box = w->CategoryBar()->SearchBox();
        TypeSearch(w, QStringLiteral("hunter2"));
        QCOMPARE(box->count(), 1);
        w->OnCommand(CommandId::FileLock);
        QVERIFY(child->Document().IsLocked());
        QCOMPARE(box->currentText(), QString());
        QCOMPARE(box->count(), 0);

        CChildFrame* plain = w->OpenDocumentFile(cards_);
        QVERIFY(plain);
        QTRY_VERIFY(w->CategoryBar()->isEnabled());  // the bar waits while a locked file is active
        TypeSearch(w, QStringLiteral("bank"));
        QCOMPARE(box->count(), 1);
        plain->close();
        QCOMPARE(box->currentText(), QString());
        QCOMPARE(box->count(), 0);
    }
};

QTEST_MAIN(SearchBoxTest)
#include "search_box_test.moc"
