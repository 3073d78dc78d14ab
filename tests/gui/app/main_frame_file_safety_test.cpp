// The main window keeps the user's files safe, driven through the real message boxes and
// file choosers: a damaged file opens read-only and Save becomes Save As; the file type
// picked in Save As decides the extension and a .tsf is not replaced without asking; a
// failed Save As leaves the window on its file; Export To Text proposes a .txt and never
// replaces a data file; a file changed by another program is not replaced unasked, and
// while the window asks about it other programs may go on saving.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <functional>

#include "core/commands/command_ids.h"
#include "core/file/file_lock.h"
#include "core/platform/profile.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_all_commands.h"
#include "gui/app/main_frame.h"
#include "gui/app/qt_user_answers.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/tessaline_view.h"
#include "support/qt_card_list.h"
#include "support/qt_data_files.h"
#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ChooseInDialog;
using tessaline::testing::IsEncryptedFile;
using tessaline::testing::ListedNames;
using tessaline::testing::NameInDialog;
using tessaline::testing::ReadAll;
using tessaline::testing::WhenModal;
using tessaline::testing::WriteDataFile;

namespace {

// Every message box text seen, in order (kept for the whole run, so that a box answered
// late never writes into a test that has ended).
QStringList& SeenTexts() {
    static QStringList texts;
    return texts;
}

// Answers the message boxes that come next, in order: each is recorded in SeenTexts()
// and its button clicked. afterLast runs just before the last box is answered.
void AnswerBoxes(QList<QMessageBox::StandardButton> buttons, std::function<void()> afterLast = {}) {
    if (buttons.isEmpty())
        return;
    WhenModal<QMessageBox>([buttons, afterLast](QMessageBox& box) mutable {
        SeenTexts() << box.text();
        const QMessageBox::StandardButton button = buttons.takeFirst();
        if (buttons.isEmpty() && afterLast)
            afterLast();
        AnswerBoxes(buttons, afterLast);
        QAbstractButton* b = box.button(button);
        QVERIFY2(b, qPrintable("no such button on: " + box.text()));
        b->click();
    });
}

// Three web sites, the second with a damaged length byte: only "first" can be read.
QByteArray DamagedFile(const QString& path) {
    if (!WriteDataFile(path, {{.code = kWwwSites, .name = "first"},
                              {.code = kWwwSites, .name = "second"},
                              {.code = kWwwSites, .name = "third"}})) {
        return {};
    }
    QByteArray bytes = ReadAll(path);
    bytes[22 + 29 + 5 + 20] = char(0xFF);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    f.write(bytes);
    return bytes;
}

}  // namespace

class FrameFileSafetyTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    MemoryProfile profile_;
    QtUserAnswers ui_;
    std::unique_ptr<CMainFrame> frame_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void init() {
        frame_ = std::make_unique<CMainFrame>(ui_, profile_);
        ui_.SetParentWindow(frame_.get());
        WireFrameCommands(*frame_, ui_, profile_,
                          FrameCommandOptions{dir_.filePath(QStringLiteral("browser")), {}});
        frame_->show();
    }
    void cleanup() {
        frame_->CloseAllDocuments();
        frame_.reset();
    }

    void aDamagedFileOpensReadOnlyAndSaveBecomesSaveAs() {
        const QString path = Path("damaged.tsf");
        const QByteArray bytes = DamagedFile(path);
        QVERIFY(!bytes.isEmpty());

        QStringList& texts = SeenTexts();
        texts.clear();
        AnswerBoxes({QMessageBox::Ok});
        CChildFrame* child = frame_->OpenDocumentFile(path);
        QVERIFY(child);
        QCOMPARE(texts, QStringList{"Only 1 of the cards in damaged.tsf could be read; the rest "
                                    "of the file is damaged. The file is opened read-only; use "
                                    "Save As to keep what was read."});
        QCOMPARE(ListedNames(*child->View()), QStringList{"first"});
        QCOMPARE(child->Document().ShownTitle(), QString("damaged.tsf (read-only)"));
        QVERIFY(frame_->windowTitle().startsWith("damaged.tsf (read-only)"));

        // Save with no edit: the chooser comes instead, and cancelling it writes nothing.
        QString proposed;
        WhenModal<QFileDialog>([&](QFileDialog& d) {
            proposed = NameInDialog(&d);
            d.reject();
        });
        frame_->OnCommand(CommandId::FileSave);
        QCOMPARE(proposed, QString("damaged"));
        QCOMPARE(ReadAll(path), bytes);

        // Save As onto the damaged file itself: the chooser asks to replace it, then the
        // program refuses.
        texts.clear();
        WhenModal<QFileDialog>([&](QFileDialog& d) {
            AnswerBoxes({QMessageBox::Yes, QMessageBox::Ok});
            ChooseInDialog(&d, "damaged.tsf", 1);
        });
        frame_->OnCommand(CommandId::FileSaveAs);
        QVERIFY2(texts.size() == 2, qPrintable(texts.join(" | ")));
        QCOMPARE(texts[1], QString("damaged.tsf could be read only in part, so it is not "
                                   "replaced. Choose another name to keep what was read."));
        QCOMPARE(ReadAll(path), bytes);

        // Save As under a new name, typed without extension with the plain type picked.
        WhenModal<QFileDialog>([&](QFileDialog& d) { ChooseInDialog(&d, "rescued", 1); });
        frame_->OnCommand(CommandId::FileSaveAs);
        QVERIFY(QFile::exists(Path("rescued.tsf")));
        QVERIFY(!IsEncryptedFile(Path("rescued.tsf")));
        QCOMPARE(child->Document().ShownTitle(), QString("rescued.tsf"));
        QVERIFY(frame_->windowTitle().startsWith("rescued.tsf"));
        QCOMPARE(child->Document().PathName(), Path("rescued.tsf"));
        QCOMPARE(ReadAll(path), bytes);
        CTessalineNewDoc check(ui_, profile_, nullptr);
        QVERIFY(check.OnOpenDocument(Path("rescued.tsf")));
        QCOMPARE(check.Cards().List(kWwwSites).Count(), 1);
        QVERIFY(!check.IsReadOnly());
    }

    void saveAsAsksBeforeReplacingATsfChosenThroughTheEncryptionQuestion() {
        QFile other(Path("old.tsf"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("someone else's file");
        other.close();
        CChildFrame* child = frame_->NewDocument();
        testing::AddCard(child->Document().Cards(), {.code = kWwwSites, .name = "mine"});
        child->Document().SetModifiedFlag(true);

        QStringList& texts = SeenTexts();
        texts.clear();
        WhenModal<QFileDialog>([&](QFileDialog& d) {
            AnswerBoxes({QMessageBox::No, QMessageBox::Ok, QMessageBox::No});
            ChooseInDialog(&d, Path("old.tse"));
        });
        frame_->OnCommand(CommandId::FileSaveAs);
        QCOMPARE(texts, (QStringList{"Password was not set! Do you want to encrypt the file?",
                                     "File will not be encrypted!",
                                     "old.tsf already exists.\nDo you want to replace it?"}));
        QCOMPARE(ReadAll(Path("old.tsf")), QByteArray("someone else's file"));
        QVERIFY(!QFile::exists(Path("old.tse")));
        QCOMPARE(child->Document().PathName(), QString());
        QVERIFY(child->Document().IsModified());

        // The plain type picked and a name typed without extension: a .tsf, no question.
        texts.clear();
        WhenModal<QFileDialog>([&](QFileDialog& d) { ChooseInDialog(&d, Path("typed"), 1); });
        frame_->OnCommand(CommandId::FileSaveAs);
        QVERIFY(texts.isEmpty());
        QVERIFY(QFile::exists(Path("typed.tsf")));
        QCOMPARE(child->Document().PathName(), Path("typed.tsf"));
        QVERIFY(!child->Document().IsModified());
    }

    void aFailedSaveAsLeavesTheWindowOnItsFile() {
        const QString own = Path("own.tsf");
        QVERIFY(WriteDataFile(own, {{.code = kWwwSites, .name = "site"}}));
        const QString busy = Path("busy.tsf");
        QVERIFY(WriteDataFile(busy, {{.code = kWwwSites, .name = "theirs"}}));
        CChildFrame* child = frame_->OpenDocumentFile(own);
        QVERIFY(child);
        child->Document().SetModifiedFlag(true);
        const auto recentBefore = frame_->RecentFiles().Entries();

        // Another program is writing busy.tsf all the while.
        std::optional<DataFileLock> other = DataFileLock::Acquire(busy.toStdString());
        QVERIFY(other && other->Held());
        QStringList& texts = SeenTexts();
        texts.clear();
        WhenModal<QFileDialog>([&](QFileDialog& d) {
            AnswerBoxes({QMessageBox::Yes, QMessageBox::Ok});
            ChooseInDialog(&d, "busy.tsf", 1);
        });
        frame_->OnCommand(CommandId::FileSaveAs);
        QVERIFY2(texts.size() == 2, qPrintable(texts.join(" | ")));
        QCOMPARE(texts[1], QString("busy.tsf is being changed by another program; try again."));
        QCOMPARE(child->Document().ShownTitle(), QString("own.tsf"));
        QVERIFY(frame_->windowTitle().startsWith("own.tsf"));
        QCOMPARE(child->Document().PathName(), own);
        QVERIFY(child->Document().IsModified());
        QCOMPARE(frame_->RecentFiles().Entries(), recentBefore);
        other.reset();
        CTessalineNewDoc check(ui_, profile_, nullptr);
        QVERIFY(check.OnOpenDocument(busy));
        QCOMPARE(check.Cards().List(kWwwSites).CardAt(0)->Name(), std::string("theirs"));
    }

    void exportProposesATxtAndNeverReplacesADataFile() {
        const QString data = Path("cards.tsf");
        QVERIFY(WriteDataFile(data, {{.code = kWwwSites, .name = "site", .password = "pw"}}));
        const QByteArray before = ReadAll(data);
        QVERIFY(frame_->OpenDocumentFile(data));

        QString proposed;
        QStringList& texts = SeenTexts();
        texts.clear();
        WhenModal<QFileDialog>([&](QFileDialog& d) {
            proposed = NameInDialog(&d);
            // The chooser asks to replace; the program refuses and offers the chooser again.
            AnswerBoxes({QMessageBox::Yes, QMessageBox::Ok}, [] {
                WhenModal<QFileDialog>([](QFileDialog& again) { ChooseInDialog(&again, "cards"); });
            });
            ChooseInDialog(&d, "cards.tsf");
        });
        frame_->OnCommand(CommandId::ExportToText);
        QCOMPARE(proposed, QString("cards.txt"));
        QVERIFY2(texts.size() == 2, qPrintable(texts.join(" | ")));
        QCOMPARE(texts[1], QString("cards.tsf is open in Tessaline; the export does not replace "
                                   "it. Choose another name."));
        QCOMPARE(ReadAll(data), before);
        QCOMPARE(ReadAll(Path("cards.txt")), QByteArray("0\tsite\t\t\tpw\t\r\n"));
    }

    void aFileChangedByAnotherProgramIsNotReplacedUnasked() {
        const QString path = Path("shared.tsf");
        QVERIFY(WriteDataFile(path, {{.code = kWwwSites, .name = "mine"}}));
        CChildFrame* child = frame_->OpenDocumentFile(path);
        QVERIFY(child);
        QVERIFY(WriteDataFile(path, {{.code = kWwwSites, .name = "theirs"}}));
        const QByteArray theirs = ReadAll(path);
        child->Document().SetModifiedFlag(true);

        // The automatic save leaves it and says so in the status bar.
        QVERIFY(!child->Document().AutoSave());
        QCOMPARE(frame_->statusBar()->currentMessage(),
                 QString("shared.tsf was changed by another program; automatic save did not "
                         "replace it."));
        QCOMPARE(ReadAll(path), theirs);

        // Save asks; Cancel keeps their version.
        QStringList& texts = SeenTexts();
        texts.clear();
        AnswerBoxes({QMessageBox::Cancel});
        frame_->OnCommand(CommandId::FileSave);
        QCOMPARE(texts, QStringList{"shared.tsf was changed by another program since it was "
                                    "opened. Replace it with your version?"});
        QCOMPARE(ReadAll(path), theirs);
        QVERIFY(child->Document().IsModified());
    }

    void whileTheReplaceQuestionIsOpenOtherProgramsSaveAndItIsAskedAgain() {
        const QString path = Path("asked.tsf");
        QVERIFY(WriteDataFile(path, {{.code = kWwwSites, .name = "mine"}}));
        CChildFrame* child = frame_->OpenDocumentFile(path);
        QVERIFY(child);
        QVERIFY(WriteDataFile(path, {{.code = kWwwSites, .name = "theirs"}}));
        child->Document().SetModifiedFlag(true);

        // While the first question is open another program takes the file's lock and
        // saves; the user then says Yes to the version the question was about.
        bool freeWhileAsking = false;
        QStringList& texts = SeenTexts();
        texts.clear();
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            texts << box.text();
            {
                std::optional<DataFileLock> other =
                    DataFileLock::Acquire(path.toStdString(), std::chrono::milliseconds(0));
                freeWhileAsking = other && other->Held();
                QVERIFY(WriteDataFile(path, {{.code = kWwwSites, .name = "later"}}));
            }
            AnswerBoxes({QMessageBox::Cancel});
            box.button(QMessageBox::Yes)->click();
        });
        frame_->OnCommand(CommandId::FileSave);
        QVERIFY(freeWhileAsking);
        const QString question =
            "asked.tsf was changed by another program since it was opened. Replace it with your "
            "version?";
        QCOMPARE(texts, (QStringList{question, question}));
        CTessalineNewDoc check(ui_, profile_, nullptr);
        QVERIFY(check.OnOpenDocument(path));
        QCOMPARE(check.Cards().List(kWwwSites).CardAt(0)->Name(), std::string("later"));
        QVERIFY(child->Document().IsModified());
    }
};

QTEST_MAIN(FrameFileSafetyTest)
#include "main_frame_file_safety_test.moc"
