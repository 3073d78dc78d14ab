// Documents in the main window: opening through the File Open chooser, the password
// prompt pre-filled from the selected card, the child window's encryption icon, the
// recent-file list, closing and Exit with their save questions, and the automatic save.

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_icons.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/qt_data_files.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::IsEncryptedFile;
using tessaline::testing::ReadAll;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WriteDataFile;

namespace {

QImage IconImage(const QIcon& icon) {
    return icon.pixmap(QSize(32, 32)).toImage();
}

bool ShowsIcon(const CChildFrame* child, const char* path) {
    return IconImage(child->windowIcon()) == IconImage(QIcon(QString::fromUtf8(path)));
}

// Adds a card to a document the way a card command does: the cards change, and the
// document is marked modified.
void AddCardTo(CTessalineNewDoc& doc, const std::string& name) {
    testing::AddCard(doc.Cards(), {.code = kWwwSites, .name = name, .password = "p"});
    doc.SetModifiedFlag(true);
}

}  // namespace

class FrameDocumentsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }
    // A plain file with one web site card named name.
    QString PlainFile(const QString& name, const std::string& cardName = "site",
                      const std::string& password = "p") {
        const QString path = Path(name);
        if (!WriteDataFile(path, {{.code = kWwwSites, .name = cardName, .password = password}}))
            return {};
        return path;
    }

private slots:
    void openThroughTheChooserWithPrefilledPassword() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        // A card can keep the password of another data file.
        const QString keys = PlainFile("keys.tsf", "vault", "opensesame");
        const QString secret = Path("secret.tse");
        QVERIFY(WriteDataFile(secret, {{.code = kLoginAccounts, .name = "root"}}, "opensesame"));

        QVERIFY(frame.OpenDocumentFile(keys));
        CTessalineNewView* keysView = frame.ActiveView();
        QCOMPARE(keysView->ItemCount(), 1);
        keysView->SelectCard(keysView->Document().Cards().List(kWwwSites).CardAt(0));

        ui.Choose(secret.toStdString());
        ui.passwords.push_back("opensesame");
        frame.OnCommand(CommandId::FileOpen);
        QCOMPARE(ui.passwordTitles, std::vector<std::string>{"Password for secret.tse"});
        QCOMPARE(ui.passwordPrefills, std::vector<std::string>{"opensesame"});
        QCOMPARE(frame.Children().size(), 2);
        QCOMPARE(frame.ActiveDocument()->PathName(), secret);
        QVERIFY(ui.Texts().empty());

        // The file is open already: its window comes up, nothing is read again.
        frame.MdiArea()->setActiveSubWindow(frame.Children().front());
        QVERIFY(frame.OpenDocumentFile(secret));
        QCOMPARE(frame.Children().size(), 2);
        QCOMPARE(frame.ActiveDocument()->PathName(), secret);
        QCOMPARE(ui.passwordTitles.size(), std::size_t{1});
    }

    void failedOpenLeavesNoWindow() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        const QString junk = Path("junk.tsf");
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("no data file, only some words of text");
        }
        const QString secret = Path("locked.tse");
        QVERIFY(WriteDataFile(secret, {{.code = kWwwSites, .name = "x"}}, "rightpassword"));

        QVERIFY(!frame.OpenDocumentFile(junk));
        QVERIFY(!ui.Texts().empty());
        QCOMPARE(ui.Texts().back(), std::string("Failed to open document."));
        ui.passwords.push_back(std::nullopt);  // Cancel: the user's choice, nothing to report
        ui.shown.clear();
        QVERIFY(!frame.OpenDocumentFile(secret));
        QVERIFY(ui.Texts().empty());
        QVERIFY(!frame.OpenDocumentFile(Path("missing.tse")));
        QCOMPARE(ui.Texts().back().rfind("Failed to open document.", 0), std::size_t{0});
        QCOMPARE(frame.Children().size(), 0);
        QCOMPARE(frame.RecentFiles().Size(), std::size_t{0});
    }

    void childIconFollowsTheEncryptionState() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        const QString secret = Path("icon.tse");
        QVERIFY(WriteDataFile(secret, {{.code = kWwwSites, .name = "x"}}, "iconpassword"));
        ui.passwords.push_back("iconpassword");
        CChildFrame* encrypted = frame.OpenDocumentFile(secret);
        QVERIFY(encrypted);
        QCOMPARE(encrypted->ShownEncryptionState(), 1);
        QVERIFY(ShowsIcon(encrypted, kEncryptedDocumentIconPath));

        CChildFrame* fresh = frame.NewDocument();
        QCOMPARE(fresh->ShownEncryptionState(), 0);
        QVERIFY(ShowsIcon(fresh, kPlainDocumentIconPath));
        QCOMPARE(fresh->Document().Title(), QStringLiteral("Untitled"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled[*] \u2014 Tessaline"));

        // Encrypt On Save on the new document: its icon changes at once, the other keeps
        // its own.
        AddCardTo(fresh->Document(), "a card");
        ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "longpassword", "longpassword"});
        frame.OnCommand(CommandId::EncryptOnSave);
        QCOMPARE(fresh->ShownEncryptionState(), 1);
        QVERIFY(ShowsIcon(fresh, kEncryptedDocumentIconPath));
        // Turned off again through Set Password (the toolbar's key button).
        ui.encryptionAnswers.push_back(FileEncryptionAnswer{false, "", ""});
        frame.OnCommand(CommandId::SetPassword);
        QCOMPARE(fresh->ShownEncryptionState(), 0);
        QCOMPARE(encrypted->ShownEncryptionState(), 1);

        // Switching windows keeps each icon with its own document.
        frame.MdiArea()->setActiveSubWindow(encrypted);
        QCOMPARE(encrypted->ShownEncryptionState(), 1);
        QCOMPARE(fresh->ShownEncryptionState(), 0);
    }

    void recentFileList() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        std::vector<QString> files;
        for (int i = 1; i <= 5; ++i)
            files.push_back(PlainFile(QStringLiteral("recent%1.tsf").arg(i)));
        {
            CMainFrame frame(ui, profile);
            for (const QString& f : files)
                QVERIFY(frame.OpenDocumentFile(f));
            // Four entries, newest first, numbered in the menu.
            QCOMPARE(frame.RecentFiles().Size(), std::size_t{4});
            QCOMPARE(frame.Action(CommandId::FileMru1)->text(), QStringLiteral("&1 ") + files[4]);
            QCOMPARE(frame.Action(CommandId::FileMru4)->text(), QStringLiteral("&4 ") + files[1]);
            frame.CloseAllDocuments();
        }
        // Kept in the settings for the next start.
        QCOMPARE(profile.GetText("Recent File List", "File1", ""), files[4].toStdString());
        QCOMPARE(profile.GetText("Recent File List", "File4", ""), files[1].toStdString());

        CMainFrame frame(ui, profile);
        QCOMPARE(frame.RecentFiles().Size(), std::size_t{4});
        frame.UpdateCommandState();
        QVERIFY(frame.Action(CommandId::FileMru4)->isEnabled());
        // Choosing entry 3 opens that file and moves it to the top.
        frame.OnCommand(CommandId::FileMru3);
        QCOMPARE(frame.ActiveDocument()->PathName(), files[2]);
        QCOMPARE(frame.Action(CommandId::FileMru1)->text(), QStringLiteral("&1 ") + files[2]);

        // A file that has gone leaves the list when chosen.
        QVERIFY(QFile::remove(files[3]));
        const std::size_t before = frame.RecentFiles().Size();
        frame.OnCommand(CommandId::FileMru3);  // files[3] is third now
        QCOMPARE(frame.RecentFiles().Size(), before - 1);
        for (const std::string& e : frame.RecentFiles().Entries())
            QVERIFY(e != files[3].toStdString());
        QCOMPARE(ui.Texts().back().rfind("Failed to open document.", 0), std::size_t{0});
    }

    void exitOffersEveryModifiedDocumentForSaving() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        const QString first = PlainFile("exit1.tsf");
        const QString second = PlainFile("exit2.tsf");
        QVERIFY(frame.OpenDocumentFile(first));
        AddCardTo(*frame.ActiveDocument(), "added1");
        QVERIFY(frame.OpenDocumentFile(second));
        AddCardTo(*frame.ActiveDocument(), "added2");
        const QByteArray firstBefore = ReadAll(first);
        const QByteArray secondBefore = ReadAll(second);
        frame.show();

        // Cancel at the first question: nothing closes, nothing is written.
        ui.messageAnswers.push_back(MsgAnswer::Cancel);
        frame.OnCommand(CommandId::AppExit);
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.Children().size(), 2);
        QCOMPARE(ui.Texts(),
                 std::vector<std::string>{"Save changes to " + first.toStdString() + "?"});

        // Yes for the first (saved), No for the second (left as it was on disk).
        ui.ClearShown();
        ui.messageAnswers = {MsgAnswer::Yes, MsgAnswer::No};
        frame.OnCommand(CommandId::AppExit);
        QCOMPARE(ui.Texts(),
                 (std::vector<std::string>{"Save changes to " + first.toStdString() + "?",
                                           "Save changes to " + second.toStdString() + "?"}));
        QVERIFY(!frame.isVisible());
        QCOMPARE(frame.Children().size(), 0);
        QVERIFY(ReadAll(first) != firstBefore);
        QCOMPARE(ReadAll(second), secondBefore);
    }

    void closeAsksForAModifiedDocument() {
        const struct {
            MsgAnswer answer;
            bool staysOpen;
            bool written;
        } cases[] = {
            {MsgAnswer::Cancel, true, false},
            {MsgAnswer::No, false, false},
            {MsgAnswer::Yes, false, true},
        };
        for (const auto& c : cases) {
            ScriptedAnswers ui;
            MemoryProfile profile;
            CMainFrame frame(ui, profile);
            const QString path = PlainFile(QStringLiteral("close.tsf"));
            const QByteArray before = ReadAll(path);
            QVERIFY(frame.OpenDocumentFile(path));
            AddCardTo(*frame.ActiveDocument(), "changed");
            ui.messageAnswers.push_back(c.answer);
            frame.OnCommand(CommandId::FileClose);
            QCOMPARE(ui.Texts(),
                     std::vector<std::string>{"Save changes to " + path.toStdString() + "?"});
            QTRY_COMPARE(frame.Children().size(), c.staysOpen ? 1 : 0);
            QCOMPARE(ReadAll(path) != before, c.written);
            if (c.staysOpen)
                QVERIFY(frame.ActiveDocument()->IsModified());
        }
    }

    void closingRemembersTheShownCategory() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QVERIFY(frame.OpenDocumentFile(PlainFile("search.tsf", "findme")));
        frame.CategoryBar()->Search(QStringLiteral("findme"));
        QCOMPARE(frame.CategoryBar()->CurrentCategoryText(), QStringLiteral("Search Results"));
        QCOMPARE(frame.ItemCountText(), QStringLiteral("Items: 1"));
        frame.OnCommand(CommandId::FileClose);
        QCOMPARE(profile.GetText(prefs::kGeneralSection, prefs::kLastSelectedCatg, ""),
                 std::string("Search Results"));
        QCOMPARE(frame.CategoryBar()->Selector()->findText(QStringLiteral("Search Results")), -1);
        QTRY_COMPARE(frame.Children().size(), 0);
        QCOMPARE(frame.ItemCountText(), QString());

        // The next frame starts with the remembered category when it is an entry, and with
        // no selection when it is not.
        profile.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg, "Login");
        CMainFrame next(ui, profile);
        QCOMPARE(next.CategoryBar()->CurrentCategoryText(), QStringLiteral("Login Accounts"));
        profile.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg, "Search Results");
        CMainFrame third(ui, profile);
        QCOMPARE(third.CategoryBar()->Selector()->currentIndex(), -1);
    }

    // "Automatic Save" is read as its leading digits; the tick counts minutes; the active
    // document is saved at the first tick at or past the count that finds it modified.
    void automaticSaveCountsTicks() {
        const struct {
            const char* setting;
            int ticksToSave;
        } cases[] = {{"2", 2}, {"0", 1}, {"abc", 1}, {"3 minutes", 3}};
        for (const auto& c : cases) {
            ScriptedAnswers ui;
            MemoryProfile profile;
            profile.WriteInt(prefs::kInternetSection, prefs::kAutomaticSaveCheck, 1);
            profile.WriteText(prefs::kInternetSection, prefs::kAutomaticSave, c.setting);
            CMainFrame frame(ui, profile);
            QVERIFY(frame.AutoSaveTimerActive());
            QCOMPARE(frame.AutoSaveTimerInterval(), 60'000);
            const QString path = PlainFile(QStringLiteral("auto%1.tsf").arg(c.ticksToSave));
            QVERIFY(frame.OpenDocumentFile(path));
            AddCardTo(*frame.ActiveDocument(), "typed");
            const QByteArray before = ReadAll(path);
            for (int t = 1; t < c.ticksToSave; ++t) {
                frame.OnAutoSaveTick();
                QVERIFY2(ReadAll(path) == before, c.setting);
            }
            frame.OnAutoSaveTick();
            QVERIFY2(ReadAll(path) != before, c.setting);
            QVERIFY(!frame.ActiveDocument()->IsModified());
        }
    }

    void automaticSaveOnlyTheActiveDocument() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteText(prefs::kInternetSection, prefs::kAutomaticSave, "1");
        CMainFrame frame(ui, profile);
        // Off in the settings: no timer at start, but the counter still works when driven.
        QVERIFY(!frame.AutoSaveTimerActive());
        frame.StartAutoSaveTimer(1);
        const QString a = PlainFile("activeA.tsf");
        const QString b = PlainFile("activeB.tsf");
        CChildFrame* childA = frame.OpenDocumentFile(a);
        CChildFrame* childB = frame.OpenDocumentFile(b);
        AddCardTo(childA->Document(), "one");
        AddCardTo(childB->Document(), "two");
        const QByteArray aBefore = ReadAll(a);
        frame.OnAutoSaveTick();
        QVERIFY(!childB->Document().IsModified());
        QVERIFY(childA->Document().IsModified());
        QCOMPARE(ReadAll(a), aBefore);
    }

    // A save that fails leaves the document modified, and the next tick tries again.
    void failedAutomaticSaveKeepsTheChanges() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteText(prefs::kInternetSection, prefs::kAutomaticSave, "0");
        CMainFrame frame(ui, profile);
        frame.StartAutoSaveTimer(1);
        QTemporaryDir gone;
        const QString path = gone.filePath(QStringLiteral("vanishing.tsf"));
        QVERIFY(WriteDataFile(path, {{.code = kWwwSites, .name = "x"}}));
        QVERIFY(frame.OpenDocumentFile(path));
        AddCardTo(*frame.ActiveDocument(), "unsaved");
        QVERIFY(QDir(gone.path()).removeRecursively());
        frame.OnAutoSaveTick();
        QVERIFY(frame.ActiveDocument()->IsModified());
        QVERIFY(!ui.Texts().empty());
        const std::size_t shown = ui.Texts().size();
        frame.OnAutoSaveTick();
        QVERIFY(ui.Texts().size() > shown);
        QVERIFY(frame.ActiveDocument()->IsModified());
    }

    // A document that was never saved is passed over by the automatic save: no Save As
    // chooser opens by itself. Once it has a name, the ticks save it there.
    void automaticSavePassesOverAnUntitledDocument() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteText(prefs::kInternetSection, prefs::kAutomaticSave, "0");
        CMainFrame frame(ui, profile);
        frame.StartAutoSaveTimer(1);
        QVERIFY(frame.NewDocument());
        AddCardTo(*frame.ActiveDocument(), "new card");
        for (int tick = 0; tick < 3; ++tick)
            frame.OnAutoSaveTick();
        QVERIFY(ui.fileRequests.empty());
        QVERIFY(ui.Texts().empty());
        QVERIFY(frame.ActiveDocument()->IsModified());

        const QString target = Path("named.tsf");
        ui.Choose(target.toStdString());
        QVERIFY(frame.ActiveDocument()->OnFileSave());
        QCOMPARE(ui.fileRequests.size(), std::size_t{1});
        const QByteArray saved = ReadAll(target);
        AddCardTo(*frame.ActiveDocument(), "typed later");
        frame.OnAutoSaveTick();
        QCOMPARE(ui.fileRequests.size(), std::size_t{1});
        QVERIFY(ReadAll(target) != saved);
        QVERIFY(!frame.ActiveDocument()->IsModified());
    }
};

QTEST_MAIN(FrameDocumentsTest)
#include "main_frame_documents_test.moc"
