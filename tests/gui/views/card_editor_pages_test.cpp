// The card editor's second page (expiry, tags, one-time-password secret, custom fields)
// and its History page, through the real editor opened by Edit Card in the main window.

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "core/cards/card.h"
#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "core/views/card_dialog_presets.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_dialog.h"
#include "gui/views/card_history_page.h"
#include "gui/views/card_more_fields_page.h"
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

// Opens the editor on the selected card with Edit Card and lets edit work in it.
bool EditWith(WiredFrame& w, const std::function<void(CCardDialog&)>& edit) {
    ModalWatch seen = WhenModal<CCardDialog>(edit);
    w->OnCommand(CommandId::EditCard);
    return seen.Seen();
}

}  // namespace

class CardEditorPagesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

private slots:
    void initTestCase() {
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(
            WriteDataFile(cardsFile_, {{.code = kWwwSites, .name = "alpha", .password = "a-pw"},
                                       {.code = kWwwSites, .name = "beta", .password = "b-pw"}}));
    }

    // What the user types on the second page goes to the card with OK, comes back on the
    // page the next time, and OK on an untouched page changes nothing.
    void optionalFieldsRoundTrip() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        w->CategoryBar()->OnCategorySelected(QStringLiteral("WWW Sites"));
        CTessalineNewView* view = w->ActiveView();
        CCard* alpha = CardNamed(*view, "alpha");
        view->SelectCard(alpha);
        const QDateTime expiry(QDate(2030, 1, 2), QTime(3, 4));

        QVERIFY(EditWith(w, [&](CCardDialog& d) {
            QCOMPARE(d.Pages()->tabText(1), QStringLiteral("More"));
            d.Pages()->setCurrentIndex(1);
            CCardMoreFieldsPage* page = d.MorePage();
            QVERIFY(!page->ExpiresEdit()->isEnabled());
            testing::ClickBox(page->ExpiresBox());
            QVERIFY(page->ExpiresEdit()->isEnabled());
            page->ExpiresEdit()->setDateTime(expiry);
            page->TagsEdit()->setFocus();
            QTest::keyClicks(page->TagsEdit(), QStringLiteral("work, bank  work;home"));
            QTest::keyClicks(page->OtpEdit(), QStringLiteral("otpauth://totp/a?secret=JBSW"));
            QTest::mouseClick(page->AddFieldButton(), Qt::LeftButton);
            QTest::keyClicks(page->CustomNameEdit(0), QStringLiteral("PIN"));
            QTest::keyClicks(page->CustomValueEdit(0), QStringLiteral("1234"));
            page->CustomProtectedBox(0)->click();
            QCOMPARE(page->CustomValueEdit(0)->echoMode(), QLineEdit::Password);
            // A row added and left empty is not kept.
            QTest::mouseClick(page->AddFieldButton(), Qt::LeftButton);
            QTest::mouseClick(page->AddFieldButton(), Qt::LeftButton);
            QTest::keyClicks(page->CustomNameEdit(2), QStringLiteral("Branch"));
            QTest::keyClicks(page->CustomValueEdit(2), QStringLiteral("Harbour"));
            QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        }));
        QCOMPARE(alpha->ExpiresMs(), std::optional<std::int64_t>(expiry.toMSecsSinceEpoch()));
        QCOMPARE(alpha->Tags(), (std::vector<std::string>{"work", "bank", "home"}));
        QCOMPARE(alpha->OtpUri(), std::string("otpauth://totp/a?secret=JBSW"));
        QCOMPARE(alpha->CustomFields(),
                 (std::vector<CustomField>{{"PIN", "1234", true}, {"Branch", "Harbour", false}}));
        QCOMPARE(alpha->Password(), std::string("a-pw"));
        QVERIFY(w->ActiveDocument()->IsModified());

        // The search finds the card by a tag and by an unprotected value, not by the PIN.
        for (const auto& [text, found] :
             std::vector<std::pair<QString, int>>{{"home", 1}, {"harbour", 1}, {"1234", 0}}) {
            w->CategoryBar()->Search(text);
            QCOMPARE(view->ItemCount(), found);
        }
        w->CategoryBar()->OnCategorySelected(QStringLiteral("WWW Sites"));
        view->SelectCard(alpha);

        // Shown again as stored; OK without a change records nothing.
        const std::size_t undoable = w->ActiveDocument()->Model().CardUndo().UndoCount();
        QVERIFY(EditWith(w, [&](CCardDialog& d) {
            CCardMoreFieldsPage* page = d.MorePage();
            QVERIFY(page->ExpiresBox()->isChecked());
            QCOMPARE(page->ExpiresEdit()->dateTime(), expiry);
            QCOMPARE(page->TagsEdit()->text(), QStringLiteral("work, bank, home"));
            QCOMPARE(page->CustomFieldCount(), 2);
            QCOMPARE(page->CustomNameEdit(0)->text(), QStringLiteral("PIN"));
            QVERIFY(page->CustomProtectedBox(0)->isChecked());
            QCOMPARE(page->CustomValueEdit(0)->echoMode(), QLineEdit::Password);
            QCOMPARE(page->CustomValueEdit(1)->echoMode(), QLineEdit::Normal);
            QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        }));
        QCOMPARE(w->ActiveDocument()->Model().CardUndo().UndoCount(), undoable);
        QCOMPARE(alpha->History().size(), std::size_t{1});

        // Unticking the expiry and removing a field take them off the card.
        QVERIFY(EditWith(w, [&](CCardDialog& d) {
            CCardMoreFieldsPage* page = d.MorePage();
            d.Pages()->setCurrentIndex(1);
            testing::ClickBox(page->ExpiresBox());
            page->CustomRemoveButton(0)->click();
            QCOMPARE(page->CustomFieldCount(), 1);
            QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        }));
        QCOMPARE(alpha->ExpiresMs(), std::nullopt);
        QCOMPARE(alpha->CustomFields(), (std::vector<CustomField>{{"Branch", "Harbour", false}}));
        QCOMPARE(alpha->Tags().size(), std::size_t{3});
    }

    // The History page lists the card now and each earlier version, newest first, with the
    // password masked and what changed; Restore makes the chosen version the card again and
    // keeps the card as it was in the history.
    void historyPageRestoresAnEarlierVersion() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        w->CategoryBar()->OnCategorySelected(QStringLiteral("WWW Sites"));
        CTessalineNewView* view = w->ActiveView();
        CCard* beta = CardNamed(*view, "beta");
        view->SelectCard(beta);
        for (const char* password : {"second", "third"}) {
            QVERIFY(EditWith(w, [password](CCardDialog& d) {
                d.PasswordEdit()->setText(QString::fromLatin1(password));
                QTest::mouseClick(d.OkButton(), Qt::LeftButton);
            }));
        }
        QCOMPARE(beta->History().size(), std::size_t{2});

        QVERIFY(EditWith(w, [&](CCardDialog& d) {
            QVERIFY(d.Pages()->isTabVisible(2));
            d.Pages()->setCurrentIndex(2);
            QTreeWidget* list = d.HistoryPage()->List();
            QCOMPARE(list->topLevelItemCount(), 3);
            for (int row = 0; row < 3; ++row) {
                QCOMPARE(list->topLevelItem(row)->text(1), QStringLiteral("beta"));
                QCOMPARE(list->topLevelItem(row)->text(3), QStringLiteral("****"));
            }
            QVERIFY(list->topLevelItem(0)->text(0).endsWith(QStringLiteral("(now)")));
            QCOMPARE(list->topLevelItem(0)->text(4), QStringLiteral("Password"));
            QCOMPARE(list->topLevelItem(2)->text(4), QString());
            // The card as it is now cannot be restored.
            list->setCurrentItem(list->topLevelItem(0));
            QVERIFY(!d.HistoryPage()->RestoreButton()->isEnabled());
            // A change typed in the editor is not dropped without asking: No stays.
            d.NoteEdit()->setPlainText(QStringLiteral("typed"));
            list->setCurrentItem(list->topLevelItem(2));
            QVERIFY(d.HistoryPage()->RestoreButton()->isEnabled());
            w.ui.messageAnswers = {MsgAnswer::No, MsgAnswer::Yes};
            QTest::mouseClick(d.HistoryPage()->RestoreButton(), Qt::LeftButton);
            QVERIFY(d.isVisible());
            QTest::mouseClick(d.HistoryPage()->RestoreButton(), Qt::LeftButton);
        }));
        QCOMPARE(w.ui.Texts().back(), std::string(kRestoreDropsEditsMessage));
        QCOMPARE(beta->Password(), std::string("b-pw"));
        QCOMPARE(beta->Note(), std::string());
        std::vector<std::string> kept;
        for (const CCard& version : beta->History())
            kept.push_back(version.Password());
        QCOMPARE(kept, (std::vector<std::string>{"second", "third"}));
        w->UpdateCommandState();
        QCOMPARE(w->Action(CommandId::EditUndo)->text(),
                 QStringLiteral("&Undo Restore Earlier Version \"beta\"\tCtrl+Z"));

        // A new card has no history page.
        ModalWatch seen = WhenModal<CCardDialog>([](CCardDialog& d) {
            QVERIFY(!d.Pages()->isTabVisible(2));
            d.reject();
        });
        w->OnCommand(CommandId::NewCard);
        QVERIFY(seen);
    }
};

QTEST_MAIN(CardEditorPagesTest)
#include "card_editor_pages_test.moc"
