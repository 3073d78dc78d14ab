// The encryption choices a user makes in the real dialogs and message boxes: Yes to
// encrypting opens the File Encryption dialog ready for the password; fields that take no
// typing look disabled; no save ever puts the cards in clear under a ".tse" name; a file
// without cards is saved as a new one; the dialog never shows the password set before; the
// changed-on-disk question keeps the other program's changes on Enter; and a changed
// sealed file is not blamed on the password alone.

#include <sys/stat.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidgetAction>
#include <functional>
#include <memory>

#include "core/base/message_texts.h"
#include "core/file/sealed_file.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/qt_user_answers.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/file_encryption_dialog.h"
#include "gui/document/show_password_button.h"
#include "gui/document/tessaline_doc.h"
#include "support/card_fixtures.h"
#include "support/qt_data_files.h"
#include "support/qt_dialog_driver.h"

using namespace tessaline;
using tessaline::testing::AddCard;
using tessaline::testing::ChooseInDialog;
using tessaline::testing::ClickBox;
using tessaline::testing::IsEncryptedFile;
using tessaline::testing::kQuickSeal;
using tessaline::testing::ReadAll;
using tessaline::testing::ShownItem;
using tessaline::testing::WhenModal;

namespace {

constexpr const char* kPassword = "correct horse";

// The file's permission bits.
unsigned ModeOf(const QString& path) {
    struct stat st;
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Two cards, stored as state says.
bool WriteFixture(const QString& path, FileCipherState state = {}) {
    state.seal = kQuickSeal;
    return testing::WriteDataFile(path,
                                  {{.code = kWwwSites, .name = "zeta", .password = "zpw"},
                                   {.code = kWwwSites, .name = "Eta", .password = "epw"}},
                                  std::move(state));
}

// Types the password into the prompt that comes next and presses Enter.
void TypeFilePassword(const QString& password) {
    WhenModal<CDecryptPasswordDialog>([password](CDecryptPasswordDialog& d) {
        d.PasswordEdit()->selectAll();
        QTest::keyClicks(d.PasswordEdit(), password);
        QTest::keyClick(d.PasswordEdit(), Qt::Key_Return);
    });
}

// Clicks OK on the next message box, after noting its text.
void AcknowledgeBox(QStringList* texts = nullptr) {
    WhenModal<QMessageBox>([texts](QMessageBox& box) {
        if (texts)
            *texts << box.text();
        box.button(QMessageBox::Ok)->click();
    });
}

bool IsPlainUnderTseQuestion(QMessageBox& box) {
    return box.text().contains(QStringLiteral("is the name of an encrypted file"));
}

}  // namespace

class EncryptionChoicesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    MemoryProfile profile_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        // Quick seals: each one takes milliseconds.
        profile_.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations,
                          static_cast<int>(kQuickSeal.opsLimit));
        profile_.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB,
                          static_cast<int>(kQuickSeal.memLimit >> 10));
    }

    // Save As "copy" with the encrypted type, Yes to encrypting: the dialog is ticked, the
    // typing goes into the first entry, and the copy is encrypted.
    void yesToEncryptingOpensTheDialogReadyForThePassword() {
        QVERIFY(WriteFixture(Path("plain.tsf")));
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        QVERIFY(doc.OnOpenDocument(Path("plain.tsf")));

        QString question;
        bool ticked = false, firstFocused = false, editable = false, hintShown = true;
        WhenModal<QFileDialog>([&](QFileDialog& chooser) {
            WhenModal<QMessageBox>([&](QMessageBox& box) {
                question = box.text();
                WhenModal<CFileEncryptionDialog>([&](CFileEncryptionDialog& d) {
                    ticked = d.EncryptOnSave();
                    firstFocused = d.focusWidget() == d.FirstEdit();
                    editable = d.FirstEdit()->isEnabled() && d.SecondEdit()->isEnabled() &&
                               !d.FirstEdit()->isReadOnly();
                    hintShown = d.KeepPasswordHint()->isVisible();
                    if (!firstFocused || !ticked) {
                        d.reject();
                        return;
                    }
                    // The user just types: the focus decides where it goes.
                    QTest::keyClicks(d.focusWidget(), kPassword);
                    QTest::keyClick(d.focusWidget(), Qt::Key_Tab);
                    QTest::keyClicks(d.SecondEdit(), kPassword);
                    QTest::keyClick(d.SecondEdit(), Qt::Key_Return);
                });
                box.button(QMessageBox::Yes)->click();
            });
            ChooseInDialog(&chooser, "copy", 0);
        });
        // Should the dialog not be ready for the password, the save is cancelled at the
        // question that then follows.
        auto saving = std::make_shared<bool>(true);
        WhenModal<QMessageBox>(
            [](QMessageBox& box) { box.reject(); }, std::chrono::seconds(10),
            [saving](QMessageBox& box) { return *saving && IsPlainUnderTseQuestion(box); });
        const bool saved = doc.OnFileSaveAs();
        *saving = false;
        QVERIFY(ticked);
        QVERIFY(firstFocused);
        QVERIFY(saved);
        QCOMPARE(question, QString(msg::kAskToEncrypt));
        QVERIFY(editable);
        QVERIFY(!hintShown);  // nothing to keep yet
        QCOMPARE(doc.PathName(), Path("copy.tse"));
        QVERIFY(IsEncryptedFile(Path("copy.tse")));

        TypeFilePassword(kPassword);
        CTessalineNewDoc again(ui, profile_, nullptr);
        QVERIFY(again.OnOpenDocument(Path("copy.tse")));
        QCOMPARE(again.Cards().List(kWwwSites).Count(), 2);
    }

    // Unticked, the entries and the show button are disabled and take no typing.
    void fieldsThatTakeNoTypingLookDisabled() {
        CFileEncryptionDialog dialog;
        dialog.SetEncryptOnSave(false);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (QWidget* field :
             {static_cast<QWidget*>(dialog.FirstEdit()), static_cast<QWidget*>(dialog.SecondEdit()),
              static_cast<QWidget*>(dialog.ShowButton())}) {
            QVERIFY2(!field->isEnabled(), qPrintable(field->objectName()));
        }
        QTest::keyClicks(dialog.FirstEdit(), "ignored");
        QCOMPARE(dialog.FirstEntry(), QString());

        ClickBox(dialog.EncryptBox());
        QVERIFY(dialog.FirstEdit()->isEnabled());
        QVERIFY(dialog.SecondEdit()->isEnabled());
        QVERIFY(dialog.ShowButton()->isEnabled());
        QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.FirstEdit()));
        QTest::keyClicks(dialog.FirstEdit(), "typed");
        QCOMPARE(dialog.FirstEntry(), QString("typed"));
    }

    // OK with the box ticked and both entries empty: refused in the dialog when there is
    // no password to keep; taken (the password stays) when there is one, which a hint says.
    void okWithEmptyEntriesKeepsAPasswordOrIsRefused_data() {
        QTest::addColumn<bool>("hasPassword");
        QTest::addColumn<QStringList>("refusals");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("no password yet") << false << QStringList{msg::kNoPasswordEntered} << false;
        QTest::newRow("a password to keep") << true << QStringList{} << true;
    }
    void okWithEmptyEntriesKeepsAPasswordOrIsRefused() {
        QFETCH(bool, hasPassword);
        QFETCH(QStringList, refusals);
        QFETCH(bool, accepted);
        QtUserAnswers ui;
        QStringList seen;
        bool hint = !hasPassword;
        QString hintText;
        WhenModal<CFileEncryptionDialog>([&](CFileEncryptionDialog& d) {
            hint = d.KeepPasswordHint()->isVisible();
            hintText = d.KeepPasswordHint()->text();
            if (!accepted)
                AcknowledgeBox(&seen);
            QTest::keyClick(d.FirstEdit(), Qt::Key_Return);
            if (!accepted) {
                QVERIFY(d.isVisible());  // still open for a password
                d.reject();
            }
        });
        const std::optional<FileEncryptionAnswer> answer =
            ui.FileEncryption(FileEncryptionStart{true, hasPassword, true});
        QCOMPARE(seen, refusals);
        QCOMPARE(answer.has_value(), accepted);
        if (answer) {
            QVERIFY(answer->encryptOnSave);
            QVERIFY(answer->first.empty() && answer->second.empty());
        }
        QCOMPARE(hint, hasPassword);
        if (hasPassword)
            QCOMPARE(hintText, QString("Leave both empty to keep the current password"));
    }

    // Every way of saving a document without encryption under a ".tse" name asks "Encrypt
    // it / Save as NAME.tsf / Cancel" in a real message box; the answer is carried out and
    // nothing is ever written in clear under the ".tse" name. An empty file counts as a new
    // one: written encrypted, it is readable by its owner only.
    void noSaveWritesCardsInClearUnderATseName_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("button");  // 0 Encrypt it, 1 Save as .tsf, 2 Cancel
        for (const char* setup : {"Save, a plain file named .tse", "Save, an empty .tse file",
                                  "Save, Encrypt On Save cleared on an encrypted .tse",
                                  "Save As, encrypted type, Yes, then Cancel in the dialog",
                                  "Save As, plain type but a .tse name typed, box cleared"}) {
            for (int button : {0, 1, 2})
                QTest::addRow("%s / button %d", setup, button) << QString(setup) << button;
        }
    }
    void noSaveWritesCardsInClearUnderATseName() {
        QFETCH(QString, setup);
        QFETCH(int, button);
        QTemporaryDir dir;
        const QString tse = dir.filePath("cards.tse");
        const QString tsf = dir.filePath("cards.tsf");
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        std::function<bool()> save = [&doc] { return doc.OnFileSave(); };
        bool blank = false;
        FileCipherState encrypted = testing::CipherFor(kPassword);
        encrypted.sealed = true;

        if (setup.startsWith("Save, a plain file")) {
            QVERIFY(WriteFixture(tse));
            QVERIFY(doc.OnOpenDocument(tse));
        } else if (setup.startsWith("Save, an empty")) {
            QVERIFY(WriteBytes(tse, {}));
            QVERIFY(QFile::setPermissions(
                tse, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
            blank = true;
            AcknowledgeBox();  // "Empty File !"
            QVERIFY(doc.OnOpenDocument(tse));
        } else if (setup.startsWith("Save, Encrypt On Save cleared")) {
            QVERIFY(WriteFixture(tse, encrypted));
            TypeFilePassword(kPassword);
            QVERIFY(doc.OnOpenDocument(tse));
            WhenModal<CFileEncryptionDialog>([](CFileEncryptionDialog& d) {
                ClickBox(d.EncryptBox());
                d.accept();
            });
            doc.OnEncryptOnSave();
            QCOMPARE(doc.EncryptionState(), 0);
        } else if (setup.startsWith("Save As, encrypted type")) {
            QVERIFY(WriteFixture(dir.filePath("source.tsf")));
            QVERIFY(doc.OnOpenDocument(dir.filePath("source.tsf")));
            save = [&doc, &tse] {
                WhenModal<QFileDialog>([&tse](QFileDialog& chooser) {
                    WhenModal<QMessageBox>(
                        [](QMessageBox& box) {
                            WhenModal<CFileEncryptionDialog>(
                                [](CFileEncryptionDialog& d) { d.reject(); });
                            box.button(QMessageBox::Yes)->click();
                        },
                        std::chrono::seconds(10),
                        [](QMessageBox& box) { return box.text() == msg::kAskToEncrypt; });
                    ChooseInDialog(&chooser, tse, 0);
                });
                return doc.OnFileSaveAs();
            };
        } else {
            QVERIFY(WriteFixture(dir.filePath("source.tse"), encrypted));
            TypeFilePassword(kPassword);
            QVERIFY(doc.OnOpenDocument(dir.filePath("source.tse")));
            WhenModal<CFileEncryptionDialog>([](CFileEncryptionDialog& d) {
                ClickBox(d.EncryptBox());
                d.accept();
            });
            doc.OnEncryptOnSave();
            save = [&doc] {
                // The chooser starts in the document's folder; the plain type is picked, and a
                // name ending in .tse given.
                WhenModal<QFileDialog>([](QFileDialog& chooser) {
                    chooser.selectNameFilter(chooser.nameFilters().value(1));
                    chooser.selectFile(QStringLiteral("cards.tse"));
                    auto* buttons = chooser.findChild<QDialogButtonBox*>("buttonBox");
                    QVERIFY(buttons);
                    buttons->button(QDialogButtonBox::Save)->click();
                });
                return doc.OnFileSaveAs();
            };
        }
        AddCard(doc.Cards(), {.code = kWwwSites, .name = "added"});
        doc.SetModifiedFlag();
        const QByteArray before = ReadAll(tse);

        // A document on a .tse file: the automatic save asks nothing and writes nothing.
        if (doc.PathName().endsWith(".tse")) {
            const QByteArray onDisk = ReadAll(doc.PathName());
            const testing::ModalWatch unasked =
                WhenModal<QMessageBox>([](QMessageBox&) {}, std::chrono::milliseconds(300));
            QVERIFY(!doc.AutoSave());
            QTest::qWait(350);
            QVERIFY(!unasked);
            QCOMPARE(ReadAll(doc.PathName()), onDisk);
            QVERIFY(doc.IsModified());
        }

        QStringList buttons;
        QString question;
        QString defaultText;
        bool tickedOnEncrypt = false;
        WhenModal<QMessageBox>(
            [&](QMessageBox& box) {
                question = box.text();
                for (QAbstractButton* b : box.buttons())
                    buttons << b->text();
                defaultText = box.defaultButton() ? box.defaultButton()->text() : QString();
                if (button == 0) {
                    WhenModal<CFileEncryptionDialog>([&](CFileEncryptionDialog& d) {
                        tickedOnEncrypt = d.EncryptOnSave();
                        QTest::keyClicks(d.FirstEdit(), "new password");
                        QTest::keyClicks(d.SecondEdit(), "new password");
                        d.accept();
                    });
                }
                const QString wanted =
                    QStringList{"Encrypt it", "Save as cards.tsf", "Cancel"}[button];
                for (QAbstractButton* b : box.buttons()) {
                    if (b->text() == wanted)
                        b->click();
                }
            },
            std::chrono::seconds(10), IsPlainUnderTseQuestion);
        const bool saved = save();

        QCOMPARE(question, QString("cards.tse is the name of an encrypted file, but this "
                                   "document is not encrypted. Encrypt it, or save it without "
                                   "encryption as cards.tsf?"));
        QCOMPARE(buttons.size(), 3);
        for (const char* b : {"Encrypt it", "Save as cards.tsf", "Cancel"})
            QVERIFY2(buttons.contains(b), qPrintable(buttons.join(", ")));
        QCOMPARE(defaultText, QString("Encrypt it"));
        switch (button) {
            case 0:
                QVERIFY(saved);
                QVERIFY(tickedOnEncrypt);
                QVERIFY(IsEncryptedFile(tse));
                QCOMPARE(doc.PathName(), tse);
                QVERIFY(!QFile::exists(tsf));
                if (blank)
                    QCOMPARE(ModeOf(tse), 0600u);
                break;
            case 1:
                QVERIFY(saved);
                QVERIFY(QFile::exists(tsf));
                QVERIFY(!IsEncryptedFile(tsf));
                QCOMPARE(ModeOf(tsf), 0600u);
                QCOMPARE(doc.PathName(), tsf);
                QCOMPARE(ReadAll(tse), before);
                break;
            default:
                QVERIFY(!saved);
                QVERIFY(doc.IsModified());
                QVERIFY(!QFile::exists(tsf));
                QCOMPARE(ReadAll(tse), before);
                break;
        }
        // Whatever was chosen, the .tse name holds no cards in clear that were not there.
        if (QFile::exists(tse) && !IsEncryptedFile(tse))
            QCOMPARE(ReadAll(tse), before);
    }

    // Encrypt On Save and Set Password never show the password set before, not even
    // through the show button; leaving both entries empty keeps it.
    void theDialogNeverShowsThePasswordSetBefore() {
        FileCipherState state = testing::CipherFor(kPassword);
        state.sealed = true;
        QVERIFY(WriteFixture(Path("secret.tse"), state));
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        TypeFilePassword(kPassword);
        QVERIFY(doc.OnOpenDocument(Path("secret.tse")));

        QString first = "?", second = "?", shown = "?";
        bool ticked = false, hint = false;
        WhenModal<CFileEncryptionDialog>([&](CFileEncryptionDialog& d) {
            ticked = d.EncryptOnSave();
            first = d.FirstEntry();
            second = d.SecondEntry();
            hint = d.KeepPasswordHint()->isVisible();
            QTest::mouseClick(d.ShowButton(), Qt::LeftButton);
            shown = ShownItem(d.ShowButton()->ShownMenu());
            d.ShowButton()->ShownMenu()->close();
            d.accept();
        });
        doc.OnEncryptOnSave();
        QVERIFY(ticked);
        QCOMPARE(first, QString());
        QCOMPARE(second, QString());
        QCOMPARE(shown, QString());
        QVERIFY(hint);
        QCOMPARE(doc.EncryptionState(), 1);
        QVERIFY(!doc.IsModified());  // nothing changed

        // The password kept is the one the next save uses.
        AddCard(doc.Cards(), {.code = kWwwSites, .name = "added"});
        doc.SetModifiedFlag();
        QVERIFY(doc.OnFileSave());
        TypeFilePassword(kPassword);
        CTessalineNewDoc again(ui, profile_, nullptr);
        QVERIFY(again.OnOpenDocument(Path("secret.tse")));
        QCOMPARE(again.Cards().List(kWwwSites).Count(), 3);
    }

    // Another program added cards since the file was opened: Enter on the question keeps
    // them (No, then the chooser for another name), and only a click on Yes replaces them.
    void enterOnTheChangedOnDiskQuestionKeepsTheOtherProgramsCards() {
        const QString path = Path("shared.tsf");
        QVERIFY(WriteFixture(path));
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        QVERIFY(doc.OnOpenDocument(path));
        AddCard(doc.Cards(), {.code = kWwwSites, .name = "mine"});
        doc.SetModifiedFlag();
        QVERIFY(testing::WriteDataFile(path, {{.code = kWwwSites, .name = "theirs 1"},
                                              {.code = kWwwSites, .name = "theirs 2"},
                                              {.code = kWwwSites, .name = "theirs 3"}}));
        const QByteArray theirs = ReadAll(path);

        QString question, defaultText;
        bool chooserCame = false;
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            question = box.text();
            defaultText = box.defaultButton() ? box.defaultButton()->text() : QString();
            WhenModal<QFileDialog>([&](QFileDialog& chooser) {
                chooserCame = true;
                chooser.reject();
            });
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QVERIFY(!doc.OnFileSave());
        QCOMPARE(question, QString("shared.tsf was changed by another program since it was "
                                   "opened. Replace it with your version?"));
        QCOMPARE(defaultText, QString("&No"));
        QVERIFY(chooserCame);
        QCOMPARE(ReadAll(path), theirs);
        QVERIFY(doc.IsModified());
    }

    // A sealed file one of whose bytes changed, or that lost or gained bytes: it is called
    // damaged before any password is asked, never a wrong password.
    void aChangedSealedFileIsNotCalledAWrongPassword_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("payload byte") << "payload";
        QTest::newRow("salt byte") << "salt";
        QTest::newRow("nonce byte") << "nonce";
        QTest::newRow("last byte cut off") << "truncated";
        QTest::newRow("a byte appended") << "appended";
    }
    void aChangedSealedFileIsNotCalledAWrongPassword() {
        QFETCH(QString, damage);
        const QString path = Path("changed.tse");
        FileCipherState state = testing::CipherFor(kPassword);
        state.sealed = true;
        QVERIFY(WriteFixture(path, state));
        QByteArray bytes = ReadAll(path);
        if (damage == "payload")
            bytes[bytes.size() - 30] = char(bytes[bytes.size() - 30] ^ 0x01);
        else if (damage == "salt")
            bytes[32] = char(bytes[32] ^ 0x01);
        else if (damage == "nonce")
            bytes[48] = char(bytes[48] ^ 0x01);
        else if (damage == "truncated")
            bytes.chop(1);
        else
            bytes.append('\0');
        QVERIFY(WriteBytes(path, bytes));

        // The file is checked whole before any password is asked: a changed file is called
        // damaged, and no password prompt comes.
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        QStringList seen;
        std::function<void(QMessageBox&)> answer = [&](QMessageBox& box) {
            seen << box.text();
            WhenModal<QMessageBox>(answer);
            box.button(QMessageBox::Ok)->click();
        };
        WhenModal<QMessageBox>(answer);
        QVERIFY(!doc.OnOpenDocument(path));
        QVERIFY(!seen.isEmpty());
        QCOMPARE(seen.front(), QString("changed.tse is damaged: it changed after it was written. A "
                                       "copy made before the damage, or a sync copy, may still "
                                       "be whole."));
    }
};

QTEST_MAIN(EncryptionChoicesTest)
#include "encryption_choices_test.moc"
