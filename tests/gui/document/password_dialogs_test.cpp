// The password dialogs, the show-password pop-up, the real message boxes and the
// QSettings profile.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidgetAction>
#include <functional>

#include "gui/app/qt_user_answers.h"
#include "gui/document/about_keys_dialog.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/file_encryption_dialog.h"
#include "gui/document/show_password_button.h"
#include "platform/qt_profile.h"
#include "support/qt_dialog_driver.h"

using namespace tessaline;

namespace {

using tessaline::testing::ClickBox;
using tessaline::testing::ShownItem;
using tessaline::testing::WhenModal;

}  // namespace

class DocviewDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void decryptionPasswordWordings() {
        CDecryptPasswordDialog dialog;
        dialog.SetCaption("Password for bank.tse");
        dialog.SetPassword("prefilled");
        QCOMPARE(dialog.windowTitle(), QString("Password for bank.tse"));
        QCOMPARE(dialog.PromptLabel()->text(),
                 QString("This file is encrypted, please enter your password:"));
        QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.Password(), QString("prefilled"));
        dialog.SetHandheldPromptMode(true);
        QCOMPARE(dialog.windowTitle(), QString("Enter password"));
        QCOMPARE(dialog.PromptLabel()->text(),
                 QString("Please enter the same password as on your palm OS device"));
    }

    void showPasswordMenus_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("ampersands") << QString("a&b&&c");
        QTest::newRow("plain") << QString("hunter22");
    }
    void showPasswordMenus() {
        QFETCH(QString, typed);
        CDecryptPasswordDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.PasswordEdit(), typed);
        QSignalSpy shown(dialog.ShowButton(), &CShowPasswordButton::MenuShown);
        QTest::mouseClick(dialog.ShowButton(), Qt::LeftButton);
        QCOMPARE(shown.count(), 1);
        QMenu* menu = dialog.ShowButton()->ShownMenu();
        QCOMPARE(ShownItem(menu), typed);
        QCOMPARE(menu->actions().constFirst()->text(), CShowPasswordButton::MenuText(typed));
        // Just below the button's right edge, five pixels to the right.
        const QPoint corner = dialog.ShowButton()->mapToGlobal(
            QPoint(dialog.ShowButton()->width() + 5, dialog.ShowButton()->height()));
        QCOMPARE(menu->pos(), corner);
        // The edit stays masked and nothing else changed.
        QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.Password(), typed);
        menu->close();
        QCOMPARE(CShowPasswordButton::MenuText("x&y"), QString("x&&y"));
    }

    void fileEncryptionBoxShrinksAndClears() {
        CFileEncryptionDialog dialog;
        dialog.SetEncryptOnSave(true);
        dialog.SetEntries("old", "old");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        const int fullHeight = dialog.FullHeight();
        QCOMPARE(dialog.height(), fullHeight);
        QVERIFY(!dialog.FirstEdit()->isReadOnly());

        ClickBox(dialog.EncryptBox());  // cleared
        QVERIFY(!dialog.EncryptOnSave());
        QCOMPARE(dialog.height(), fullHeight - 100);
        QCOMPARE(dialog.width(), dialog.FullWidth());
        QVERIFY(dialog.FirstEdit()->isReadOnly());
        QVERIFY(dialog.SecondEdit()->isReadOnly());
        QCOMPARE(dialog.FirstEntry(), QString());
        QCOMPARE(dialog.SecondEntry(), QString());

        ClickBox(dialog.EncryptBox());  // checked again
        QCOMPARE(dialog.height(), fullHeight);
        QVERIFY(!dialog.FirstEdit()->isReadOnly());
        QCOMPARE(dialog.FirstEntry(), QString());  // still empty
        QTest::keyClicks(dialog.FirstEdit(), "Fish & Chips");
        QTest::keyClicks(dialog.SecondEdit(), "Fish & Chips");
        QCOMPARE(dialog.FirstEdit()->echoMode(), QLineEdit::Password);
        QTest::mouseClick(dialog.ShowButton(), Qt::LeftButton);
        QCOMPARE(ShownItem(dialog.ShowButton()->ShownMenu()), QString("Fish & Chips"));
        QCOMPARE(dialog.ShowButton()->ShownMenu()->actions().constFirst()->text(),
                 QString("Fish && Chips"));
        dialog.ShowButton()->ShownMenu()->close();
    }

    void fileEncryptionStartsShrunkWhenOff() {
        CFileEncryptionDialog dialog;
        dialog.SetEncryptOnSave(false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.height(), dialog.FullHeight() - 100);
        QVERIFY(dialog.FirstEdit()->isReadOnly());
        // The "Important" note sits wholly in the hidden part.
        auto* note = dialog.findChild<QLabel*>("static1050");
        QVERIFY(note);
        QVERIFY(note->mapTo(&dialog, QPoint(0, 0)).y() >= dialog.height());
    }

    void aboutKeysFromTheFileEncryptionDialog() {
        CFileEncryptionDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QStringList seen;
        QString title;
        connect(&dialog, &CFileEncryptionDialog::AboutKeysOpened, this, [&](QDialog* about) {
            WhenModal<CAboutKeysDialog>([&](CAboutKeysDialog& d) {
                title = d.windowTitle();
                for (QLabel* l : d.findChildren<QLabel*>())
                    seen << l->text();
                QTest::mouseClick(d.findChild<QPushButton*>(), Qt::LeftButton);
            });
            (void)about;
        });
        QTest::mouseClick(dialog.AboutKeysButton(), Qt::LeftButton);
        QCOMPARE(title, QString("About Keys"));
        QCOMPARE(seen.mid(0, 7), CAboutKeysDialog::InformationTexts().mid(0, 7));
        QVERIFY(seen.contains("8 characters - 37 days"));
    }

    void realAnswersUseTheDialogs() {
        QtUserAnswers answers;
        WhenModal<CDecryptPasswordDialog>([](CDecryptPasswordDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Password for a.tse"));
            QCOMPARE(d.Password(), QString("pre"));
            d.PasswordEdit()->clear();
            d.PasswordEdit()->insert(QString::fromUtf8("gr\xC3\xBCn"));
            d.accept();
        });
        const std::optional<std::string> typed =
            answers.DecryptionPassword("Password for a.tse", "pre");
        QVERIFY(typed.has_value());
        QCOMPARE(*typed, std::string("gr\xFCn"));  // Windows-1252 bytes when they fit

        WhenModal<CDecryptPasswordDialog>([](CDecryptPasswordDialog& d) { d.reject(); });
        QVERIFY(!answers.DecryptionPassword("t", "").has_value());

        // The handheld set-up's password: the same dialog in its own wording.
        WhenModal<CDecryptPasswordDialog>([](CDecryptPasswordDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Enter password"));
            QVERIFY(d.Password().isEmpty());
            d.PasswordEdit()->insert(QString::fromUtf8("p\xC3\xA4lm"));
            d.accept();
        });
        QCOMPARE(answers.HandheldPassword(), std::optional<std::string>("p\xE4lm"));
        WhenModal<CDecryptPasswordDialog>([](CDecryptPasswordDialog& d) { d.reject(); });
        QVERIFY(!answers.HandheldPassword().has_value());

        WhenModal<CFileEncryptionDialog>([](CFileEncryptionDialog& d) {
            QVERIFY(!d.EncryptOnSave());
            ClickBox(d.EncryptBox());
            QTest::keyClicks(d.FirstEdit(), "one horse");
            QTest::keyClicks(d.SecondEdit(), "one horse");
            // The layout choice starts where the caller put it; the user picks the other.
            QVERIFY(d.SealedChoice()->isChecked());
            QTest::mouseClick(d.CompatibleChoice(), Qt::LeftButton);
            d.accept();
        });
        const std::optional<FileEncryptionAnswer> enc =
            answers.FileEncryption(FileEncryptionStart{false, false, true});
        QVERIFY(enc.has_value());
        QVERIFY(enc->encryptOnSave);
        QCOMPARE(enc->first, std::string("one horse"));
        QCOMPARE(enc->second, std::string("one horse"));
        QVERIFY(!enc->sealed);
    }

    void realMessageBoxes() {
        QtUserAnswers answers;
        QString caption, text;
        QMessageBox::Icon icon{};
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            caption = box.windowTitle();
            text = box.text();
            icon = box.icon();
            QVERIFY(box.button(QMessageBox::Yes));
            QVERIFY(box.button(QMessageBox::No));
            QVERIFY(!box.button(QMessageBox::Cancel));
            box.button(QMessageBox::Yes)->click();
        });
        QCOMPARE(answers.Message({"Password was not set! Do you want to encrypt the file?",
                                  MsgCaption::Application, MsgIcon::Question, MsgButtons::YesNo}),
                 MsgAnswer::Yes);
        QCOMPARE(caption, QString("Tessaline"));
        QCOMPARE(text, QString("Password was not set! Do you want to encrypt the file?"));
        QCOMPARE(icon, QMessageBox::Question);

        WhenModal<QMessageBox>([&](QMessageBox& box) {
            caption = box.windowTitle();
            icon = box.icon();
            box.button(QMessageBox::Ok)->click();
        });
        QCOMPARE(answers.MessageWithCaption({"File will not be encrypted!", MsgCaption::System,
                                             MsgIcon::Warning, MsgButtons::Ok},
                                            "File Encryption"),
                 MsgAnswer::Ok);
        QCOMPARE(caption, QString("File Encryption"));
        QCOMPARE(icon, QMessageBox::Warning);

        WhenModal<QMessageBox>([&](QMessageBox& box) {
            caption = box.windowTitle();
            box.button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(answers.Message({"Save changes to x?", MsgCaption::System, MsgIcon::Question,
                                  MsgButtons::YesNoCancel}),
                 MsgAnswer::Cancel);
        QCOMPARE(caption, QString("Error"));
    }

    void fileChooserFilters() {
        QCOMPARE(NameFiltersOf("Encrypted Data (*.tse)|*.tse|Non Encrypted Data (*.tsf)|*.tsf||"),
                 QStringList({"Encrypted Data (*.tse)", "Non Encrypted Data (*.tsf)"}));
        QCOMPARE(NameFiltersOf("Data Files|*.tse;*.tsf||"),
                 QStringList({"Data Files (*.tse *.tsf)"}));
        QCOMPARE(NameFiltersOf(""), QStringList());
    }

    void settingsKeepIntsAndTexts() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("t.ini");
        {
            QtProfile profile(ini);
            QCOMPARE(profile.GetInt("Internet Preferences", "Date Format", 7), 7);
            QCOMPARE(profile.GetText("General Preferences", "LastSelectedCatg", "dflt"),
                     std::string("dflt"));
            profile.WriteInt("Internet Preferences", "Date Format", 4);
            profile.WriteText("General Preferences", "LastSelectedCatg", "Bank Accounts");
            profile.WriteText("Internet Preferences", "Automatic Save", "15 min");
            profile.Sync();
        }
        QtProfile again(ini);
        QCOMPARE(again.GetInt("Internet Preferences", "Date Format", 0), 4);
        QCOMPARE(again.GetText("General Preferences", "LastSelectedCatg", ""),
                 std::string("Bank Accounts"));
        QCOMPARE(again.GetText("Internet Preferences", "Automatic Save", ""),
                 std::string("15 min"));
        // A text that is not a number reads as the default when asked for an int.
        QCOMPARE(again.GetInt("Internet Preferences", "Automatic Save", -1), -1);
    }
};

QTEST_MAIN(DocviewDialogsTest)
#include "password_dialogs_test.moc"
