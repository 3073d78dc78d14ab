// The frame's own windows as a user reaches them: Preferences (Alt+P) with the list
// listed again afterwards, Generate Password (Alt+G) whose "Use" sets the selected
// card's password, and the About box from the toolbar.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "core/app/about_text.h"
#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "gui/app/about_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/generate_password_dialog.h"
#include "gui/prefs/pref_property_sheet.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::ModalWatch;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

class WiringToolCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

private slots:
    void initTestCase() {
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(
            WriteDataFile(cardsFile_, {{.code = kWwwSites, .name = "site", .password = "old"}}));
    }

    void alwaysAvailable() {
        WiredFrame w;
        for (CommandId id :
             {CommandId::Preferences, CommandId::GeneratePassword, CommandId::AppAbout})
            QVERIFY2(w.Enabled(id), QByteArray::number(ToInt(id)));
    }

    // Cancel writes nothing, OK writes the sheet's values; either way the active list is
    // listed again so a new date format or password display shows at once.
    void preferencesWriteOnOkAndRefreshTheList() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        QSignalSpy listed(w->ActiveView()->Model(), &QAbstractItemModel::modelReset);

        ModalWatch seen;
        seen = WhenModal<CPrefPropertySheet>([](CPrefPropertySheet& s) { s.reject(); });
        QTest::keyClick(w.frame.get(), Qt::Key_P, Qt::AltModifier);
        QVERIFY(seen);
        QCOMPARE(w.profile.GetInt("Print Preferences", "Print ATM", -1), -1);
        QVERIFY(listed.count() >= 1);

        listed.clear();
        seen = WhenModal<CPrefPropertySheet>(
            [](CPrefPropertySheet& s) { QTest::mouseClick(s.OkButton(), Qt::LeftButton); });
        w->OnCommand(CommandId::Preferences);
        QVERIFY(seen);
        QVERIFY(w.profile.GetInt("Print Preferences", "Print ATM", -1) != -1);
        QVERIFY(listed.count() >= 1);
    }

    // "Use" gives the selected card the generated password and marks the document. A
    // card that has a password keeps it unless the user agrees to replace it; No goes
    // back to the dialog.
    void generatedPasswordIsUsed() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        CCard* card = w->ActiveView()->Model()->Rows().front();
        w->ActiveView()->SelectCard(card);
        QString generated;
        bool stayedOpen = false;
        ModalWatch seen;
        w.ui.messageAnswers = {MsgAnswer::No, MsgAnswer::Yes};
        seen = WhenModal<CGeneratePasswordDialog>([&](CGeneratePasswordDialog& d) {
            QVERIFY(d.UseButton()->isEnabled());
            generated = d.Password();
            QTest::mouseClick(d.UseButton(), Qt::LeftButton);  // No: back in the dialog
            stayedOpen = d.isVisible();
            QCOMPARE(QString::fromStdString(card->Password()), QString("old"));
            QTest::mouseClick(d.UseButton(), Qt::LeftButton);  // Yes
        });
        QTest::keyClick(w.frame.get(), Qt::Key_G, Qt::AltModifier);
        QVERIFY(seen);
        QVERIFY(stayedOpen);
        QCOMPARE(w.ui.Texts(),
                 (std::vector<std::string>(2, "Replace the password of site with the new one?")));
        QVERIFY(!generated.isEmpty());
        QCOMPARE(QString::fromStdString(card->Password()), generated);
        QVERIFY(w->ActiveDocument()->IsModified());

        // Cancel leaves the card alone.
        w->ActiveDocument()->SetModifiedFlag(false);
        seen = WhenModal<CGeneratePasswordDialog>([](CGeneratePasswordDialog& d) { d.reject(); });
        w->OnCommand(CommandId::GeneratePassword);
        QVERIFY(seen);
        QCOMPARE(QString::fromStdString(card->Password()), generated);
        QVERIFY(!w->ActiveDocument()->IsModified());

        // A card without a password takes the new one without a question; "To Clipboard"
        // says in the status bar that the password was copied.
        card->SetPassword("");
        w.ui.ClearShown();
        seen = WhenModal<CGeneratePasswordDialog>([&](CGeneratePasswordDialog& d) {
            generated = d.Password();
            QTest::mouseClick(d.ToClipboardButton(), Qt::LeftButton);
            QTest::mouseClick(d.UseButton(), Qt::LeftButton);
        });
        w->OnCommand(CommandId::GeneratePassword);
        QVERIFY(seen);
        QVERIFY(w.ui.Texts().empty());
        QCOMPARE(QString::fromStdString(card->Password()), generated);
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral("Generated password copied; cleared in 10 s"));
    }

    void aboutBoxFromTheToolbar() {
        WiredFrame w;
        ModalWatch seen;
        QString version;
        seen = WhenModal<CAboutDialog>([&version](CAboutDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("About Tessaline"));
            version = d.VersionLabel()->text();
            d.accept();
        });
        w->Action(CommandId::AppAbout)->trigger();
        QVERIFY(seen);
        QCOMPARE(version, QString::fromStdString(AboutVersionText(CompiledVersionFields())));
    }
};

QTEST_MAIN(WiringToolCommandsTest)
#include "frame_tool_commands_test.moc"
