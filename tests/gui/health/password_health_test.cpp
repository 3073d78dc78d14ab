// Password strength and health as a user meets them: the meter under the password of the
// card editor, and Tools > Password Health, whose rows open their cards in the editor.

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "core/health/password_strength.h"
#include "gui/health/password_health_dialog.h"
#include "gui/health/strength_meter.h"
#include "gui/views/card_dialog.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/qt_dialog_driver.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::ModalWatch;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

namespace {

const char* const kStrong = "LyaKtXS\"gOWa\"EAz5zeI";
const char* const kShared = "9q!Vb#2mWz&Lr7^Kd4$x";

QStringList RowTexts(QTreeWidget* rows) {
    QStringList out;
    for (int i = 0; i < rows->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = rows->topLevelItem(i);
        out << row->text(0) + " | " + row->text(1) + " | " + row->text(2);
    }
    return out;
}

void DoubleClickRow(QTreeWidget* rows, int index) {
    QTreeWidgetItem* row = rows->topLevelItem(index);
    QVERIFY(row);
    const QPoint at = rows->visualItemRect(row).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class PasswordHealthTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    // The meter follows every key typed into the password, and shows a card's password
    // when the editor opens.
    void editorMeterFollowsTheTyping() {
        ScriptedAnswers ui;
        CCardDialog dialog(ui);
        dialog.show();
        CStrengthMeter* meter = dialog.StrengthMeter();
        QVERIFY(meter && meter->isVisible());
        QCOMPARE(meter->Text()->text(), QString("0 bits, poor"));
        dialog.PasswordEdit()->setFocus();
        QTest::keyClicks(dialog.PasswordEdit(), "Tr0ub4dor");
        const QString afterNine = meter->Text()->text();
        QTest::keyClicks(dialog.PasswordEdit(), "&3");
        QCOMPARE(meter->Text()->text(), QString("46 bits, weak"));
        QVERIFY(afterNine != meter->Text()->text());
        QCOMPARE(meter->Bar()->value(), 46);
        QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Backspace);
        QCOMPARE(meter->Text()->text(),
                 QString::fromStdString(StrengthText(EstimateStrength("Tr0ub4dor&"))));

        CardEditorFields fields;
        fields.password = kStrong;
        dialog.SetFields(fields);
        QCOMPARE(meter->Text()->text(),
                 QString::fromStdString(StrengthText(EstimateStrength(kStrong))));
        QVERIFY(meter->Text()->text().endsWith("excellent"));
        QCOMPARE(meter->Bar()->value(), static_cast<int>(EstimateStrength(kStrong).bits));
    }

    // Tools > Password Health lists each problem with its card and category; a double
    // click opens the card in the editor, and what the user fixed there leaves the list.
    void healthRowsOpenTheirCards() {
        const QString file = dir_.filePath("health.tsf");
        QVERIFY(WriteDataFile(file, {{.code = kWwwSites, .name = "fine", .password = kStrong},
                                     {.code = kWwwSites, .name = "site", .password = "password"},
                                     {.code = kWwwSites, .name = "shop", .password = kShared},
                                     {.code = kCreditCards, .name = "visa", .password = kShared}}));
        WiredFrame w;
        QVERIFY(!w.Enabled(CommandId::PasswordHealth));
        QVERIFY(w.ShowAndOpen(file));
        QVERIFY(w.Enabled(CommandId::PasswordHealth));

        QStringList before, after;
        QString edited, shownCategory;
        ModalWatch editor;
        ModalWatch seen = WhenModal<CPasswordHealthDialog>([&](CPasswordHealthDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Password Health"));
            QCOMPARE(d.Rows()->headerItem()->text(0), QString("Card"));
            QCOMPARE(d.Rows()->headerItem()->text(1), QString("Category"));
            QCOMPARE(d.Rows()->headerItem()->text(2), QString("Problem"));
            before = RowTexts(d.Rows());
            // The editor opens on the visa card; a new password of its own fixes the reuse.
            editor = WhenModal<CCardDialog>([&](CCardDialog& e) {
                edited = e.NameEdit()->text();
                shownCategory = w->CategoryBar()->CurrentCategoryText();
                e.PasswordEdit()->selectAll();
                QTest::keyClicks(e.PasswordEdit(), "Zq8#Lm2!Vr9$Kp4&Wt6^");
                QTest::mouseClick(e.OkButton(), Qt::LeftButton);
            });
            DoubleClickRow(d.Rows(), 2);
            after = RowTexts(d.Rows());
            d.reject();
        });
        w->Action(CommandId::PasswordHealth)->trigger();
        QVERIFY(seen);
        QCOMPARE(before, (QStringList{"site | WWW Sites | Weak password (0 bits, poor)",
                                      "shop | WWW Sites | Reused password (group 1: 2 cards)",
                                      "visa | Credit Cards | Reused password (group 1: 2 cards)"}));
        QVERIFY(editor);
        QCOMPARE(edited, QString("visa"));
        QCOMPARE(shownCategory, QString("Credit Cards"));
        QCOMPARE(after, (QStringList{"site | WWW Sites | Weak password (0 bits, poor)"}));
        QCOMPARE(QString::fromStdString(w->ActiveView()->SelectedCard()->Password()),
                 QString("Zq8#Lm2!Vr9$Kp4&Wt6^"));
        QVERIFY(w.ui.Texts().empty());
    }

    // Enter on a row opens it too; a document without problems says so.
    void enterOpensARowAndNoProblemsAreSaid() {
        const QString file = dir_.filePath("fine.tsf");
        QVERIFY(WriteDataFile(file, {{.code = kWwwSites, .name = "one", .password = "hunter22"}}));
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(file));
        QString summaryAfter;
        ModalWatch editor;
        ModalWatch seen = WhenModal<CPasswordHealthDialog>([&](CPasswordHealthDialog& d) {
            QCOMPARE(RowTexts(d.Rows()),
                     (QStringList{"one | WWW Sites | Weak password (9 bits, poor)"}));
            editor = WhenModal<CCardDialog>([&](CCardDialog& e) {
                e.PasswordEdit()->selectAll();
                QTest::keyClicks(e.PasswordEdit(), kStrong);
                QTest::mouseClick(e.OkButton(), Qt::LeftButton);
            });
            d.Rows()->setFocus();
            QTest::keyClick(d.Rows(), Qt::Key_Return);
            summaryAfter = d.Summary()->text();
            QCOMPARE(d.Rows()->topLevelItemCount(), 0);
            QVERIFY(!d.OpenButton()->isEnabled());
        });
        w->OnCommand(CommandId::PasswordHealth);
        QVERIFY(seen);
        QVERIFY(editor);
        QCOMPARE(summaryAfter, QString("No problems found in 1 card."));
    }
};

QTEST_MAIN(PasswordHealthTest)
#include "password_health_test.moc"
