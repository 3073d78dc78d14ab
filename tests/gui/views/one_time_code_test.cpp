// One-time codes in the window: Ctrl+T and the Card menu copy the selected card's code as
// a secret, the card editor shows the code and its seconds left, and "Set up one-time
// code" turns a secret into the card's otpauth:// address with a QR code for a phone.

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "core/cards/card.h"
#include "core/cards/one_time_code.h"
#include "core/commands/command_ids.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/views/card_dialog.h"
#include "gui/views/card_table_model.h"
#include "gui/views/one_time_code_panel.h"
#include "gui/views/one_time_code_setup_dialog.h"
#include "gui/views/qr_code.h"
#include "gui/views/tessaline_view.h"
#include "support/view_cards.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

using tessaline::testing::CardNamed;

namespace {

// RFC 6238's SHA-1 secret, "12345678901234567890", in base32.
constexpr const char* kSecret = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";

// The codes a field gives just before and just after something ran: a code may turn
// over in between.
QStringList CodesAround(const std::string& field, qint64 before, qint64 after) {
    return {QString::fromStdString(OneTimeCodeAt(field, before).code),
            QString::fromStdString(OneTimeCodeAt(field, after).code)};
}

}  // namespace

class OneTimeCodeTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

private slots:
    void initTestCase() {
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(WriteDataFile(cardsFile_, {{.code = kWwwSites, .name = "mail", .user = "ann"},
                                           {.code = kWwwSites, .name = "plain", .password = "pw"},
                                           {.code = kWwwSites, .name = "odd"}}));
    }

    // Ctrl+T on the list and Card > Copy One-Time Code put the code on the clipboard,
    // marked secret, and the status bar says when it goes; a card without a secret has
    // the command greyed and Ctrl+T does nothing.
    void ctrlTCopiesTheCodeAsASecret() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        CTessalineNewView* view = w->ActiveView();
        // The field lives in the second sealed layout's files; here it is set in memory.
        const std::string field = std::string("otpauth://totp/mail:ann?secret=") + kSecret;
        CardNamed(*view, "mail")->SetOtpUri(field);

        view->SelectCard(CardNamed(*view, "plain"));
        QVERIFY(!w.Enabled(CommandId::CopyOneTimeCode));
        QApplication::clipboard()->setText(QStringLiteral("mine"));
        view->List()->setFocus();
        QTest::keyClick(view->List(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("mine"));

        view->SelectCard(CardNamed(*view, "mail"));
        QVERIFY(w.Enabled(CommandId::CopyOneTimeCode));
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        QTest::keyClick(view->List(), Qt::Key_T, Qt::ControlModifier);
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY2(CodesAround(field, before, after).contains(copied), qPrintable(copied));
        QCOMPARE(copied.size(), 6);
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(kPasswordManagerHintFormat));
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral("One-time code copied; cleared in 10 s"));
        // It is the program's own secret on the clipboard: what clears a copied password
        // (the timer, the lock, the end of the program) clears it.
        SecretClipboard::Instance().ClearIfOurs();
        QCOMPARE(QApplication::clipboard()->text(), QString());

        // The menu entry does the same.
        QApplication::clipboard()->setText(QStringLiteral("mine"));
        w->Action(CommandId::CopyOneTimeCode)->trigger();
        QVERIFY(CodesAround(field, before, QDateTime::currentSecsSinceEpoch())
                    .contains(QApplication::clipboard()->text()));
    }

    // A field that gives no code says why, and the clipboard keeps what it had.
    void aFieldWithoutCodesSaysWhy() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        CTessalineNewView* view = w->ActiveView();
        CardNamed(*view, "odd")->SetOtpUri("otpauth://hotp/odd?secret=JBSWY3DP&counter=3");
        view->SelectCard(CardNamed(*view, "odd"));
        QVERIFY(w.Enabled(CommandId::CopyOneTimeCode));
        QApplication::clipboard()->setText(QStringLiteral("mine"));
        view->List()->setFocus();
        QTest::keyClick(view->List(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(w.ui.Texts(), (std::vector<std::string>{
                                   "Counter-based one-time codes (otpauth://hotp/) are not "
                                   "supported; only time-based ones (otpauth://totp/) are."}));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("mine"));
    }

    // The editor shows the code and the seconds left, and renews them every second.
    void editorShowsTheCodeAndTheSecondsLeft() {
        testing::ScriptedAnswers ui;
        CCardDialog dialog(ui);
        CardEditorFields fields;
        fields.otpUri = kSecret;
        dialog.SetFields(fields);
        COneTimeCodePanel* panel = dialog.OneTimeCode();
        qint64 now = 59;
        panel->SetClock([&now] { return now; });
        QCOMPARE(panel->CodeLabel()->text(), QStringLiteral("287082"));
        QCOMPARE(panel->SecondsLeftLabel()->text(), QStringLiteral("1 s left"));
        QVERIFY(panel->Timer()->isActive());
        QCOMPARE(panel->Timer()->interval(), 1000);
        now = 60;
        // The next tick of the timer.
        QVERIFY(QMetaObject::invokeMethod(panel->Timer(), "timeout"));
        QCOMPARE(panel->CodeLabel()->text(),
                 QString::fromStdString(OneTimeCodeAt(kSecret, 60).code));
        QVERIFY(panel->CodeLabel()->text() != QStringLiteral("287082"));
        QCOMPARE(panel->SecondsLeftLabel()->text(), QStringLiteral("30 s left"));

        // No secret: nothing to renew.
        fields.otpUri.clear();
        dialog.SetFields(fields);
        QCOMPARE(panel->CodeLabel()->text(), QStringLiteral("No one-time code"));
        QCOMPARE(panel->SecondsLeftLabel()->text(), QString());
        QVERIFY(!panel->Timer()->isActive());
        // A secret that gives no codes says why.
        fields.otpUri = "otpauth://totp/x?secret=JBSWY3DP&digits=9";
        dialog.SetFields(fields);
        QVERIFY(panel->CodeLabel()->text().contains("6 to 8 digits"));
        QVERIFY(!panel->Timer()->isActive());
    }

    // Edit Card > "Set up one-time code...": a bare secret becomes an address named after
    // the card, shown as a QR code; OK in both dialogs keeps it in the card.
    void setUpMakesTheAddressAndItsQrCode() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        CTessalineNewView* view = w->ActiveView();
        CCard* card = CardNamed(*view, "mail");
        view->SelectCard(card);
        const std::string expected =
            "otpauth://totp/mail:ann?secret=JBSWY3DPEHPK3PXP&issuer=mail&algorithm=SHA1"
            "&digits=6&period=30";
        int qrWidth = 0;
        QImage qr;
        const auto editor = WhenModal<CCardDialog>([&](CCardDialog& dialog) {
            QCOMPARE(dialog.OneTimeCode()->CodeLabel()->text(), QStringLiteral("No one-time code"));
            const auto setUp = WhenModal<COneTimeCodeSetupDialog>([&](COneTimeCodeSetupDialog& s) {
                QCOMPARE(s.windowTitle(), QStringLiteral("Set up one-time code"));
                QVERIFY(s.OkButton()->isEnabled());
                // Something that gives no codes: said at once, and OK waits.
                QTest::keyClicks(s.SecretEdit(), QStringLiteral("otpauth://hotp/x?secret=AB"));
                QVERIFY(s.ErrorLabel()->text().contains("Counter-based"));
                QVERIFY(!s.OkButton()->isEnabled());
                QCOMPARE(s.QrWidth(), 0);
                QVERIFY(s.QrLabel()->pixmap().isNull());
                s.SecretEdit()->clear();
                QTest::keyClicks(s.SecretEdit(), QStringLiteral("jbsw y3dp ehpk 3pxp"));
                QCOMPARE(s.ErrorLabel()->text(), QString());
                QCOMPARE(s.AddressEdit()->text(), QString::fromStdString(expected));
                QCOMPARE(s.CodeLabel()->text().size(), 6);
                qrWidth = s.QrWidth();
                qr = s.QrLabel()->pixmap().toImage();
                QVERIFY(s.OkButton()->isEnabled());
                s.OkButton()->click();
            });
            dialog.OneTimeCode()->SetUpButton()->click();
            QVERIFY(setUp.Seen());
            QCOMPARE(dialog.OneTimeCode()->OtpText(), expected);
            QCOMPARE(dialog.OneTimeCode()->CodeLabel()->text().size(), 6);
            dialog.OkButton()->click();
        });
        QVERIFY(w.Enabled(CommandId::EditCard));
        w->Action(CommandId::EditCard)->trigger();
        QVERIFY(editor.Seen());
        QCOMPARE(card->OtpUri(), expected);
        QVERIFY(w->ActiveDocument()->IsModified());
        QVERIFY(w.Enabled(CommandId::CopyOneTimeCode));
        // A QR code has 17 + 4 x version modules a side; the picture has the four-module
        // quiet zone around it, and both dark and light modules.
        QVERIFY(qrWidth >= 21);
        QCOMPARE((qrWidth - 17) % 4, 0);
        QCOMPARE(qr.width(), (qrWidth + 8) * 4);
        QCOMPARE(qr.height(), qr.width());
        const QrMatrix matrix = MakeQrMatrix(QByteArray::fromStdString(expected));
        QCOMPARE(matrix.width, qrWidth);
        int dark = 0;
        for (int y = 0; y < matrix.width; ++y)
            for (int x = 0; x < matrix.width; ++x)
                dark += matrix.Dark(x, y) ? 1 : 0;
        QVERIFY(dark > 0 && dark < qrWidth * qrWidth);
        // The finder pattern's corner is dark, drawn where the quiet zone ends.
        QVERIFY(matrix.Dark(0, 0));
        QCOMPARE(qr.pixelColor(4 * 4, 4 * 4), QColor(Qt::black));
        QCOMPARE(qr.pixelColor(1, 1), QColor(Qt::white));

        // Setting up again shows the card's address; emptied and OK takes it off.
        const auto again = WhenModal<CCardDialog>([&](CCardDialog& dialog) {
            const auto setUp = WhenModal<COneTimeCodeSetupDialog>([&](COneTimeCodeSetupDialog& s) {
                QCOMPARE(s.SecretEdit()->text(), QString::fromStdString(expected));
                QVERIFY(s.QrWidth() >= 21);
                s.SecretEdit()->clear();
                QVERIFY(s.OkButton()->isEnabled());
                s.OkButton()->click();
            });
            dialog.OneTimeCode()->SetUpButton()->click();
            QVERIFY(setUp.Seen());
            dialog.OkButton()->click();
        });
        QVERIFY(w.Enabled(CommandId::EditCard));
        w->Action(CommandId::EditCard)->trigger();
        QVERIFY(again.Seen());
        QCOMPARE(card->OtpUri(), std::string());
        QVERIFY(!w.Enabled(CommandId::CopyOneTimeCode));
    }

    // Cancel in the set-up leaves the card's secret as it was.
    void cancelKeepsTheSecret() {
        testing::ScriptedAnswers ui;
        CCardDialog dialog(ui);
        CardEditorFields fields;
        fields.otpUri = kSecret;
        dialog.SetFields(fields);
        const auto setUp = WhenModal<COneTimeCodeSetupDialog>([](COneTimeCodeSetupDialog& s) {
            s.SecretEdit()->setText(QStringLiteral("JBSWY3DP"));
            s.reject();
        });
        dialog.OneTimeCode()->SetUpButton()->click();
        QVERIFY(setUp.Seen());
        QCOMPARE(dialog.Fields().otpUri, std::string(kSecret));
    }
};

QTEST_MAIN(OneTimeCodeTest)
#include "one_time_code_test.moc"
