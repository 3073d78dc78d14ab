// The document's Qt side: opening fixture files, the password prompt, Encrypt On Save
// through the real dialog, saving to disk and the list following the document.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

#include <QCheckBox>

#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/profile.h"
#include "gui/app/qt_user_answers.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/file_encryption_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_table_model.h"
#include "gui/views/tessaline_view.h"
#include "support/card_fixtures.h"
#include "support/qt_card_list.h"
#include "support/qt_data_files.h"

using namespace tessaline;
using tessaline::testing::AddCard;
using tessaline::testing::ScriptedAnswers;

namespace {

using tessaline::testing::ClickBox;
using tessaline::testing::IsEncryptedFile;
using tessaline::testing::ListedNames;
using tessaline::testing::ReadAll;
using tessaline::testing::WhenModal;
using tessaline::testing::WriteDataFile;

// Writes a data file holding two WWW Sites cards, encrypted under password when given.
void WriteFixture(const QString& path, const std::string& password = {}) {
    QVERIFY(WriteDataFile(path,
                          {{.code = kWwwSites, .name = "zeta", .password = "zpw"},
                           {.code = kWwwSites, .name = "Eta", .password = "epw"}},
                          password));
}

}  // namespace

class DocviewDocumentTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    MemoryProfile profile_;

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

private slots:
    void openPlainEncryptedEmptyAndBadFiles() {
        WriteFixture(Path("plain.tsf"));
        WriteFixture(Path("secret.tse"), "opensesame");
        QFile(Path("empty.tsf")).open(QIODevice::WriteOnly);
        {
            QFile junk(Path("junk.tsf"));
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write("this is no data file at all, only text");
        }

        ScriptedAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        doc.OnNewDocument();
        QCOMPARE(doc.Title(), QString("Untitled"));
        CTessalineNewView view(doc, profile_);
        QCOMPARE(view.ItemCount(), 0);
        QVERIFY(!doc.HasCards());

        QSignalSpy titles(&doc, &CTessalineNewDoc::TitleChanged);
        QSignalSpy counts(&view, &CTessalineNewView::ItemCountChanged);
        QVERIFY(doc.OnOpenDocument(Path("plain.tsf")));
        QCOMPARE(ListedNames(view), QStringList({"Eta", "zeta"}));
        QCOMPARE(counts.last().at(0).toInt(), 2);
        QCOMPARE(titles.last().at(0).toString(), QString("plain.tsf"));
        QCOMPARE(doc.PathName(), Path("plain.tsf"));
        QCOMPARE(doc.EncryptionState(), 0);
        QVERIFY(doc.HasCards());
        QVERIFY(!doc.IsModified());
        QVERIFY(ui.shown.empty());

        // The prompt names the file and starts with the caller's text.
        QSignalSpy encryption(&doc, &CTessalineNewDoc::EncryptionChanged);
        ui.Password("opensesame");
        QVERIFY(doc.OnOpenDocument(Path("secret.tse"), "from the selected card"));
        QCOMPARE(ui.passwordTitles.back(), std::string("Password for secret.tse"));
        QCOMPARE(ui.passwordPrefills.back(), std::string("from the selected card"));
        QCOMPARE(doc.EncryptionState(), 1);
        QCOMPARE(encryption.last().at(0).toInt(), 1);
        QCOMPARE(ListedNames(view), QStringList({"Eta", "zeta"}));

        // A wrong password or a file that is none: the reason, then the failure (but Cancel
        // is no failure to report); the document and its list stay as they were.
        ui.shown.clear();
        ui.Password("wrong");
        ui.Password(std::nullopt);
        QVERIFY(!doc.OnOpenDocument(Path("secret.tse")));
        QCOMPARE(ui.Texts().size(), std::size_t{1});
        QVERIFY(ui.Texts().back() != std::string("Failed to open document."));
        ui.shown.clear();
        QVERIFY(!doc.OnOpenDocument(Path("junk.tsf")));
        QCOMPARE(ui.Texts(), (std::vector<std::string>{"This is not a Tessaline file.",
                                                       "Failed to open document."}));
        QVERIFY(!doc.OnOpenDocument(Path("missing.tsf")));
        QVERIFY(ui.Texts().back().starts_with("Failed to open document."));
        QCOMPARE(doc.PathName(), Path("secret.tse"));
        QCOMPARE(ListedNames(view), QStringList({"Eta", "zeta"}));

        ui.shown.clear();
        QVERIFY(doc.OnOpenDocument(Path("empty.tsf")));
        QCOMPARE(ui.Texts(), std::vector<std::string>{"Empty File !"});
        QCOMPARE(view.ItemCount(), 0);
        QVERIFY(!doc.HasCards());
    }

    void wrongPasswordAsksAgainThroughTheRealPrompt() {
        WriteFixture(Path("again.tse"), "opensesame");
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        CTessalineNewView view(doc, profile_);
        // The user mistypes, reads the message, and types the password again.
        QStringList seen;
        bool answeredAgain = false;
        WhenModal<CDecryptPasswordDialog>([&](CDecryptPasswordDialog& first) {
            QCOMPARE(first.Password(), QString("from the card"));
            first.PasswordEdit()->selectAll();
            QTest::keyClicks(first.PasswordEdit(), "opensesam");
            WhenModal<QMessageBox>([&](QMessageBox& box) {
                seen << box.text();
                WhenModal<CDecryptPasswordDialog>([&](CDecryptPasswordDialog& second) {
                    answeredAgain = true;
                    QCOMPARE(second.windowTitle(), QString("Password for again.tse"));
                    QCOMPARE(second.Password(), QString());
                    QTest::keyClicks(second.PasswordEdit(), "opensesame");
                    QTest::keyClick(second.PasswordEdit(), Qt::Key_Return);
                });
                box.button(QMessageBox::Ok)->click();
            });
            QTest::keyClick(first.PasswordEdit(), Qt::Key_Return);
        });
        QVERIFY(doc.OnOpenDocument(Path("again.tse"), "from the card"));
        QCOMPARE(seen, QStringList{"Password not correct, please try again."});
        QVERIFY(answeredAgain);
        QCOMPARE(ListedNames(view), QStringList({"Eta", "zeta"}));
        QCOMPARE(doc.EncryptionState(), 1);
    }

    void encryptOnSaveThroughTheRealDialog() {
        WriteFixture(Path("toencrypt.tsf"));
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        QVERIFY(doc.OnOpenDocument(Path("toencrypt.tsf")));
        QSignalSpy modified(&doc, &CTessalineNewDoc::ModifiedChanged);

        // Refused entries (they differ, or are too short) are said at once, and the dialog
        // stays open with both entries empty and the first one ready for typing; Cancel
        // then changes nothing.
        QStringList refusals;
        bool stayedOpen = true;
        WhenModal<CFileEncryptionDialog>([&](CFileEncryptionDialog& d) {
            ClickBox(d.EncryptBox());
            const char* tries[][2] = {{"longenough1", "longenough2"}, {"short", "short"}};
            for (const auto& typed : tries) {
                QTest::keyClicks(d.FirstEdit(), typed[0]);
                QTest::keyClicks(d.SecondEdit(), typed[1]);
                WhenModal<QMessageBox>([&](QMessageBox& box) {
                    refusals << box.text();
                    box.button(QMessageBox::Ok)->click();
                });
                QTest::keyClick(d.SecondEdit(), Qt::Key_Return);
                stayedOpen = stayedOpen && d.isVisible() && d.FirstEntry().isEmpty() &&
                             d.SecondEntry().isEmpty() && d.focusWidget() == d.FirstEdit();
            }
            d.reject();
        });
        doc.OnEncryptOnSave();
        QCOMPARE(refusals, (QStringList{"Password not correct, try again!",
                                        "Password to short, please use more characters!"}));
        QVERIFY(stayedOpen);
        QCOMPARE(doc.EncryptionState(), 0);
        QVERIFY(!doc.IsModified());

        WhenModal<CFileEncryptionDialog>([](CFileEncryptionDialog& d) {
            QVERIFY(!d.EncryptOnSave());
            QVERIFY(d.FirstEdit()->isReadOnly());
            ClickBox(d.EncryptBox());
            QTest::keyClicks(d.FirstEdit(), "correct horse");
            QTest::keyClicks(d.SecondEdit(), "correct horse");
            d.accept();
        });
        doc.OnEncryptOnSave();
        QCOMPARE(doc.EncryptionState(), 1);
        QVERIFY(doc.IsModified());
        QCOMPARE(modified.last().at(0).toBool(), true);
        QVERIFY(!IsEncryptedFile(Path("toencrypt.tsf")));

        QVERIFY(doc.OnFileSave());
        QVERIFY(!doc.IsModified());
        QVERIFY(IsEncryptedFile(Path("toencrypt.tsf")));

        // The dialog starts checked with both entries empty: the password is not shown.
        WhenModal<CFileEncryptionDialog>([](CFileEncryptionDialog& d) {
            QVERIFY(d.EncryptOnSave());
            QCOMPARE(d.FirstEntry(), QString());
            QCOMPARE(d.SecondEntry(), QString());
            d.reject();
        });
        doc.OnEncryptOnSave();
        QCOMPARE(doc.EncryptionState(), 1);

        ScriptedAnswers reader;
        reader.Password("correct horse");
        CTessalineNewDoc again(reader, profile_, nullptr);
        QVERIFY(again.OnOpenDocument(Path("toencrypt.tsf")));
        QCOMPARE(again.Cards().List(kWwwSites).Count(), 2);
    }

    void saveAsAnsweringNoWritesAPlainTsf() {
        ScriptedAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        doc.OnNewDocument();
        AddCard(doc.Cards(), {.code = kWwwSites, .name = "only"});
        doc.SetModifiedFlag();
        ui.fileAnswers.push_back(FileDialogAnswer{Path("chosen.tse").toStdString(), 0});
        ui.messageAnswers.push_back(MsgAnswer::No);
        QSignalSpy titles(&doc, &CTessalineNewDoc::TitleChanged);
        QVERIFY(doc.OnFileSaveAs());
        QCOMPARE(ui.Texts(),
                 (std::vector<std::string>{"Password was not set! Do you want to encrypt the file?",
                                           "File will not be encrypted!"}));
        QCOMPARE(ui.captionTexts.back(), std::string("File Encryption"));
        QCOMPARE(doc.PathName(), Path("chosen.tsf"));
        QCOMPARE(titles.last().at(0).toString(), QString("chosen.tsf"));
        QVERIFY(QFile::exists(Path("chosen.tsf")));
        QVERIFY(!QFile::exists(Path("chosen.tse")));
        QVERIFY(!IsEncryptedFile(Path("chosen.tsf")));
        QVERIFY(!doc.IsModified());
    }

    void saveModifiedAsksByName() {
        ScriptedAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        doc.OnNewDocument();
        QVERIFY(doc.SaveModified());  // unmodified: nothing asked
        doc.SetModifiedFlag();
        ui.messageAnswers.push_back(MsgAnswer::Cancel);
        QVERIFY(!doc.SaveModified());
        QCOMPARE(ui.Texts().back(), std::string("Save changes to Untitled?"));
        ui.messageAnswers.push_back(MsgAnswer::No);
        QVERIFY(doc.SaveModified());
        QVERIFY(doc.IsModified());
    }
};

QTEST_MAIN(DocviewDocumentTest)
#include "tessaline_doc_test.moc"
