// The lock through the whole window: Ctrl+L, the idle lock and the screen lock lock an
// encrypted file with an unsaved change at once and bring it back unsaved; open dialogs
// (a card editor, the encryption dialog, Print Preview) are closed with their fields
// emptied, and a card editor's typed content comes back after the unlock; a password
// the program copied leaves the clipboard, a text someone else copied stays.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTreeView>
#include <chrono>
#include <functional>

#include "core/base/message_texts.h"
#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_all_commands.h"
#include "gui/app/frame_lock_commands.h"
#include "gui/app/lock_panel.h"
#include "gui/app/qt_user_answers.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/file_encryption_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_dialog.h"
#include "gui/views/tessaline_view.h"
#include "support/card_fixtures.h"
#include "support/qt_card_list.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::CardFields;
using tessaline::testing::Describe;
using tessaline::testing::ListedNames;
using tessaline::testing::ModalWatch;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;
using Clock = IdleLockClock::Clock;

namespace {

constexpr const char* kPassword = "correct horse";

bool ShowsLockPanel(CChildFrame* child) {
    auto* pages = qobject_cast<QStackedWidget*>(child->widget());
    return pages && pages->currentWidget() == child->LockPanel();
}

void TypeIntoLockPanel(CChildFrame* child, const char* password) {
    QTest::keyClicks(child->LockPanel()->PasswordField(), QString::fromLatin1(password));
    QTest::keyClick(child->LockPanel()->PasswordField(), Qt::Key_Return);
}

CCard* CardNamed(CTessalineNewDoc& doc, int code, const std::string& name) {
    for (CCard* c : doc.Cards().List(code)) {
        if (c->Name() == name)
            return c;
    }
    return nullptr;
}

// Every text field of a window, joined: what a lock must have emptied before it closed it.
QString AllFieldTexts(QWidget& window) {
    QString out;
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        out += edit->text();
    for (QPlainTextEdit* edit : window.findChildren<QPlainTextEdit*>())
        out += edit->toPlainText();
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions())
            out += action->text();
    }
    return out;
}

// Records what a dialog's fields hold at the moment it is closed.
void RecordFieldsAtClose(QDialog& dialog, QString& texts, bool& closed) {
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&dialog, &texts, &closed] {
        texts = AllFieldTexts(dialog);
        closed = true;
    });
}

}  // namespace

class FrameLockTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString secret_;  // encrypted, three cards

    // Opens the encrypted file in w, with seals that take milliseconds.
    CChildFrame* OpenSecret(WiredFrame& w) {
        w.profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
        w.profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
        w.ui.passwords.push_back(kPassword);
        return w.ShowAndOpen(secret_);
    }

private slots:
    void init() {
        secret_ = dir_.filePath(QStringLiteral("cards.tse"));
        QFile::remove(secret_);
        QVERIFY(WriteDataFile(secret_,
                              {{.code = kWwwSites, .name = "mail", .password = "S3cret!pw"},
                               {.code = kBankAccounts, .name = "bank", .password = "hunter22"},
                               {.code = kBankAccounts, .name = "loan", .note = "Kept note"}},
                              kPassword));
    }

    // Each way of locking locks a file with an unsaved change at once, without saving;
    // the unlock brings back the same cards, still unsaved, in the category shown.
    void everyLockSealsAnUnsavedChangeAndUnlockBringsItBack_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Ctrl+L") << 0;
        QTest::newRow("minutes without use") << 1;
        QTest::newRow("screen lock") << 2;
    }
    void everyLockSealsAnUnsavedChangeAndUnlockBringsItBack() {
        QFETCH(int, way);
        WiredFrame w;
        CChildFrame* child = OpenSecret(w);
        QVERIFY(child);
        CTessalineNewDoc& doc = child->Document();
        CFrameLockCommands* lock = CFrameLockCommands::Of(*w);
        QVERIFY(lock);
        child->View()->ShowCategory(QStringLiteral("Bank Accounts"));
        testing::AddCard(doc.Cards(), {.code = kBankAccounts, .name = "added", .password = "N3w!"});
        doc.SetModifiedFlag(true);
        const std::vector<std::string> before = Describe(doc.Cards());
        const QByteArray onDisk = testing::ReadAll(secret_);
        QVERIFY(w.Enabled(CommandId::FileLock));
        const QString statusBefore = w->StatusMessage();

        switch (way) {
            case 0:
                QTest::keyClick(child->View()->List(), Qt::Key_L, Qt::ControlModifier);
                break;
            case 1: {
                const Clock::time_point start = Clock::now();
                lock->IdleClock().Touch(start);
                lock->CheckIdle(start + std::chrono::minutes(LockAfterMinutes(w.profile)));
                break;
            }
            default:
                lock->OnScreenLocked();
                break;
        }
        QVERIFY(doc.IsLocked());
        QVERIFY(ShowsLockPanel(child));
        QVERIFY(child->LockPanel()->ChangesNote().startsWith("Its unsaved changes are kept"));
        QVERIFY(doc.IsModified());
        QVERIFY(Describe(doc.Cards()).empty());
        QCOMPARE(doc.Cards().TotalStoredSize(), std::uint64_t{0});
        QVERIFY(doc.Model().CipherState().encryptionPassword.empty());
        QCOMPARE(child->View()->ItemCount(), 0);
        QCOMPARE(testing::ReadAll(secret_), onDisk);
        QVERIFY(w.ui.shown.empty());
        QCOMPARE(w->StatusMessage(), statusBefore);  // nothing "was not locked"

        // A wrong password: said, and still locked.
        TypeIntoLockPanel(child, "wrong horse");
        QCOMPARE(w.ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
        QVERIFY(doc.IsLocked());
        QVERIFY(Describe(doc.Cards()).empty());

        TypeIntoLockPanel(child, kPassword);
        QVERIFY(!doc.IsLocked());
        QVERIFY(!ShowsLockPanel(child));
        QCOMPARE(Describe(doc.Cards()), before);
        QVERIFY(doc.IsModified());
        QVERIFY(child->isWindowModified());
        QCOMPARE(child->View()->ShownCategory(), QStringLiteral("Bank Accounts"));
        QCOMPARE(ListedNames(*child->View()), (QStringList{"added", "bank", "loan"}));
        QCOMPARE(testing::ReadAll(secret_), onDisk);
    }

    // The idle lock comes while a card is edited, the password typed and shown: the editor
    // closes with its fields emptied, the document locks (nothing of the editor kept in
    // clear), and after the unlock the editor opens again with what was typed.
    void idleLockClosesACardEditorAndOffersItsTextAfterUnlock() {
        WiredFrame w;
        CChildFrame* child = OpenSecret(w);
        QVERIFY(child);
        CTessalineNewDoc& doc = child->Document();
        CFrameLockCommands* lock = CFrameLockCommands::Of(*w);
        child->View()->ShowCategory(QStringLiteral("Bank Accounts"));
        child->View()->SelectCard(CardNamed(doc, kBankAccounts, "loan"));

        QString textsAtClose = QStringLiteral("(not closed)");
        bool closed = false;
        const ModalWatch editor = WhenModal<CCardDialog>([&](CCardDialog& d) {
            RecordFieldsAtClose(d, textsAtClose, closed);
            d.PasswordEdit()->setFocus();
            QTest::keyClicks(d.PasswordEdit(), QStringLiteral("Typed#Secret"));
            d.NoteEdit()->moveCursor(QTextCursor::End);
            QTest::keyClicks(d.NoteEdit(), QStringLiteral(" and more"));
            d.OnShowPassword();
            QVERIFY(d.LastMenu() != nullptr);
            const Clock::time_point start = Clock::now();
            lock->IdleClock().Touch(start);
            lock->CheckIdle(start + std::chrono::minutes(LockAfterMinutes(w.profile)));
        });
        w->OnCommand(CommandId::EditCard);
        QVERIFY(editor.Seen());
        QVERIFY(closed);
        QCOMPARE(textsAtClose, QString());
        QTRY_VERIFY(doc.IsLocked());
        QVERIFY(!lock->LockPending());
        QVERIFY(doc.Model().HoldsSealedChanges());
        QVERIFY(!doc.IsModified());
        QVERIFY(Describe(doc.Cards()).empty());

        // After the unlock the editor is back for the same card with what was typed; OK
        // stores it.
        QString shownPassword;
        QString shownNote;
        QString title;
        const ModalWatch again = WhenModal<CCardDialog>([&](CCardDialog& d) {
            shownPassword = d.PasswordEdit()->text();
            shownNote = d.NoteEdit()->toPlainText();
            title = d.windowTitle();
            d.OkButton()->click();
        });
        TypeIntoLockPanel(child, kPassword);
        QVERIFY(!doc.IsLocked());
        QTRY_VERIFY(again.Seen());
        QCOMPARE(title, QStringLiteral("Edit Card"));
        QCOMPARE(shownPassword, QStringLiteral("Typed#Secret"));
        QCOMPARE(shownNote, QStringLiteral("Kept note and more"));
        CCard* loan = CardNamed(doc, kBankAccounts, "loan");
        QVERIFY(loan);
        QCOMPARE(loan->Password(), std::string("Typed#Secret"));
        QCOMPARE(loan->Note(), std::string("Kept note and more"));
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.Cards().List(kBankAccounts).Count(), 2);
    }

    // A new card half typed when the lock comes is offered again as a new card.
    void aNewCardHalfTypedIsOfferedAgainAfterUnlock() {
        WiredFrame w;
        CChildFrame* child = OpenSecret(w);
        QVERIFY(child);
        CTessalineNewDoc& doc = child->Document();
        CFrameLockCommands* lock = CFrameLockCommands::Of(*w);
        child->View()->ShowCategory(QStringLiteral("WWW Sites"));
        const ModalWatch editor = WhenModal<CCardDialog>([&](CCardDialog& d) {
            d.NameEdit()->setText(QStringLiteral("shop"));
            d.UserIdEdit()->setText(QStringLiteral("me@example.org"));
            lock->OnScreenLocked();
        });
        w->OnCommand(CommandId::NewCard);
        QVERIFY(editor.Seen());
        QTRY_VERIFY(doc.IsLocked());
        QCOMPARE(doc.Cards().List(kWwwSites).Count(), 0);

        QString name;
        const ModalWatch again = WhenModal<CCardDialog>([&](CCardDialog& d) {
            name = d.windowTitle() + ":" + d.NameEdit()->text() + ":" + d.UserIdEdit()->text();
            d.OkButton()->click();
        });
        TypeIntoLockPanel(child, kPassword);
        QTRY_VERIFY(again.Seen());
        QCOMPARE(name, QStringLiteral("New Card:shop:me@example.org"));
        QVERIFY(CardNamed(doc, kWwwSites, "shop") != nullptr);
        QCOMPARE(doc.Cards().List(kWwwSites).Count(), 2);
    }

    // The encryption dialog open with a new password half typed: the lock empties and
    // closes it; nothing of it is taken, and the file's own password unlocks.
    void lockClosesTheEncryptionDialog() {
        // The real dialogs answer here: the encryption dialog is the one the user sees.
        QtUserAnswers ui;
        MemoryProfile profile;
        profile.WriteText("Internet Preferences", "Explorer File Path", testing::kNoProgram);
        profile.WriteText("Internet Preferences", "Netscape File Path", testing::kNoProgram);
        CMainFrame frame(ui, profile);
        QTemporaryDir browser;
        WireFrameCommands(frame, ui, profile, FrameCommandOptions{browser.path(), {}});
        frame.show();
        const ModalWatch prompt = WhenModal<CDecryptPasswordDialog>([](CDecryptPasswordDialog& d) {
            d.PasswordEdit()->setText(QString::fromLatin1(kPassword));
            d.accept();
        });
        CChildFrame* child = frame.OpenDocumentFile(secret_);
        QVERIFY(prompt.Seen());
        QVERIFY(child);
        CFrameLockCommands* lock = CFrameLockCommands::Of(frame);

        QString textsAtClose = QStringLiteral("(not closed)");
        bool closed = false;
        const ModalWatch dialog = WhenModal<CFileEncryptionDialog>([&](CFileEncryptionDialog& d) {
            RecordFieldsAtClose(d, textsAtClose, closed);
            for (QLineEdit* edit : d.findChildren<QLineEdit*>())
                edit->setText(QStringLiteral("half a new password"));
            lock->LockAll();
        });
        frame.OnCommand(CommandId::EncryptOnSave);
        QVERIFY(dialog.Seen());
        QVERIFY(closed);
        QCOMPARE(textsAtClose, QString());
        QTRY_VERIFY(child->Document().IsLocked());
        QVERIFY(!child->Document().IsModified());
        TypeIntoLockPanel(child, kPassword);
        QVERIFY(!child->Document().IsLocked());
        QCOMPARE(child->Document().Model().CipherState().encryptionPassword,
                 std::string(kPassword));
    }

    // Print Preview open: the lock closes it, and no preview is left anywhere.
    void lockClosesPrintPreview() {
        WiredFrame w;
        CChildFrame* child = OpenSecret(w);
        QVERIFY(child);
        CFrameLockCommands* lock = CFrameLockCommands::Of(*w);
        child->View()->ShowCategory(QStringLiteral("Bank Accounts"));
        const ModalWatch preview =
            WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog&) { lock->LockAll(); });
        w->OnCommand(CommandId::PrintPreview);
        QVERIFY(preview.Seen());
        QTRY_VERIFY(child->Document().IsLocked());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(qApp->findChildren<QPrintPreviewDialog*>().isEmpty());
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY(qobject_cast<QPrintPreviewDialog*>(top) == nullptr);
    }

    // The lock clears the clipboard only while it holds a secret the program put there.
    void lockClearsOnlyOurSecretFromTheClipboard_data() {
        QTest::addColumn<bool>("copyPassword");
        QTest::addColumn<QString>("copiedAfter");  // someone else's text, or none
        QTest::addColumn<QString>("expected");
        QTest::newRow("our password") << true << QString() << QString();
        QTest::newRow("someone else's text after ours") << true << "foreign"
                                                        << "foreign";
        QTest::newRow("only someone else's text") << false << "foreign"
                                                  << "foreign";
    }
    void lockClearsOnlyOurSecretFromTheClipboard() {
        QFETCH(bool, copyPassword);
        QFETCH(QString, copiedAfter);
        QFETCH(QString, expected);
        WiredFrame w;
        // Never cleared by time: only the lock clears it here.
        w.profile.WriteInt("General Preferences", "Clear Clipboard Seconds", 0);
        CChildFrame* child = OpenSecret(w);
        QVERIFY(child);
        QApplication::clipboard()->clear();
        child->View()->ShowCategory(QStringLiteral("Bank Accounts"));
        child->View()->SelectCard(CardNamed(child->Document(), kBankAccounts, "bank"));
        if (copyPassword) {
            w->OnCommand(CommandId::CopyPassword);
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hunter22"));
        }
        if (!copiedAfter.isEmpty())
            QApplication::clipboard()->setText(copiedAfter);

        w->OnCommand(CommandId::FileLock);
        QVERIFY(child->Document().IsLocked());
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }
};

QTEST_MAIN(FrameLockTest)
#include "frame_lock_test.moc"
