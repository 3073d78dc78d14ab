// The main window as a user meets it: size, menu bars with and without a document,
// toolbar order and texts, the accelerator table (taking precedence over the menu bar's
// Alt+letter keys), the edit commands on the focused field, Find and the status bar.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include "core/commands/command_ids.h"
#include "core/platform/profile.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_actions.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/qt_data_files.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WriteDataFile;

namespace {

// The visible entries of a menu: their texts, "-" for a separator, "Name >" for a sub-menu.
QStringList Entries(const QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        if (a->isSeparator()) {
            out << QStringLiteral("-");
        } else if (a->menu()) {
            out << a->text() + QStringLiteral(" >");
        } else {
            out << a->text();
        }
    }
    return out;
}

QStringList MenuTitles(QMainWindow& w) {
    QStringList out;
    for (QAction* a : w.menuBar()->actions())
        out << a->text();
    return out;
}

QMenu* MenuNamed(QMainWindow& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    return nullptr;
}

}  // namespace

class FrameWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

    // A plain file with three cards: two web sites, one login.
    void MakeCardsFile() {
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(
            WriteDataFile(cardsFile_, {{.code = kWwwSites, .name = "zeta", .password = "z1"},
                                       {.code = kWwwSites, .name = "Alpha", .password = "a1"},
                                       {.code = kLoginAccounts, .name = "box", .password = "b"}}));
    }

private slots:
    void initTestCase() { MakeCardsFile(); }

    void startsAsAnEmptyFrameOfTheStatedSize() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QCOMPARE(frame.size(), QSize(700, 480));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tessaline"));
        QCOMPARE(frame.MdiArea()->subWindowList().size(), 0);
        // An empty profile: the selector shows its first entry; no timer runs.
        QCOMPARE(frame.CategoryBar()->CurrentCategoryText(), QStringLiteral("WWW Sites"));
        QVERIFY(!frame.AutoSaveTimerActive());
        QVERIFY(!frame.CategoryBar()->Selector()->isEnabled());
        QCOMPARE(frame.ItemCountText(), QString());
    }

    void menuBarWithoutAndWithADocument() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QCOMPARE(MenuTitles(frame), (QStringList{"&File", "&Edit", "&View", "&Help"}));
        // Preferences and the generator need no open file.
        QCOMPARE(Entries(MenuNamed(frame, "&Edit")),
                 (QStringList{"Generate Password...\tAlt+G", "-", "Preferences...\tAlt+P"}));
        QCOMPARE(Entries(MenuNamed(frame, "&File")),
                 (QStringList{"&New\tAlt+N", "&Open...\tCtrl+O", "-", "&Import...", "-",
                              "P&rint Setup...", "-", "Recent File", "-", "E&xit"}));
        QCOMPARE(Entries(MenuNamed(frame, "&View")), (QStringList{"&Toolbar", "&Status Bar"}));
        QCOMPARE(Entries(MenuNamed(frame, "&Help")), (QStringList{"&About Tessaline..."}));
        QVERIFY(!frame.Action(CommandId::FileMru1)->isVisible());

        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        QCOMPARE(MenuTitles(frame), (QStringList{"&File", "&Edit", "&Card", "&Internet", "&Tools",
                                                 "&View", "&Window", "&Help"}));
        const QString recent = QStringLiteral("&1 ") + cardsFile_;
        QCOMPARE(Entries(MenuNamed(frame, "&File")),
                 (QStringList{"&New\tAlt+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S",
                              "Save &As...", "-", "Encrypt On &Save...\tAlt+S", "Set Pass&word...",
                              "&Lock\tCtrl+L", "Prop&erties...", "-", "Empty Recycle &Bin...", "-",
                              "&Import...", "Export To Text...", "-", "&Print...\tCtrl+P",
                              "Print Pre&view", "P&rint Setup...", "-", recent, "-", "E&xit"}));
        QCOMPARE(Entries(MenuNamed(frame, "&Edit")),
                 (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Shift+Z", "-", "&Copy\tCtrl+C",
                              "&Paste\tCtrl+V", "-", "Copy Password\tAlt+C", "-",
                              "Generate Password...\tAlt+G", "-", "Preferences...\tAlt+P"}));
        QCOMPARE(Entries(MenuNamed(frame, "&Card")),
                 (QStringList{"&New Card\tCtrl+N", "&Delete Card\tCtrl+D", "-",
                              "&Edit Card\tCtrl+E", "-", "&Restore Card", "Delete &Permanently...",
                              "-", "Copy Name", "Copy User ID\tCtrl+B", "Copy Password\tCtrl+C",
                              "Copy Address\tCtrl+U", "Copy Note", "Copy One-&Time Code\tCtrl+T",
                              "Open Address\tCtrl+Shift+U", "-", "Change Category >"}));
        QMenu* change = nullptr;
        for (QAction* a : MenuNamed(frame, "&Card")->actions()) {
            if (a->menu())
                change = a->menu();
        }
        QVERIFY(change);
        QCOMPARE(Entries(change),
                 (QStringList{"WWW Sites", "WWW Forms", "FTP Servers", "NewsGroups",
                              "Login Accounts", "EMail Accounts", "Bank Accounts", "Online Banking",
                              "Credit Cards", "ATM/PIN Cards", "Personal Data", "Software Keys",
                              "Serial Numbers", "Membership Numbers", "Miscellaneous"}));
        QList<int> changeIds;
        for (QAction* a : change->actions())
            changeIds << ToInt(CFrameActions::CommandOf(a));
        QCOMPARE(changeIds, (QList<int>{32774, 32773, 32775, 32776, 32778, 32779, 32784, 32785,
                                        32786, 32787, 32788, 32789, 32790, 32791, 32792}));
        QCOMPARE(
            Entries(MenuNamed(frame, "&Internet")),
            (QStringList{"Launch WWW", "Launch E-Mail", "Launch Login", "Launch News", "Launch FTP",
                         "-", "Load Web Page", "Get Web Page\tAlt+W", "Fill Login\tCtrl+Shift+L"}));
        QCOMPARE(Entries(MenuNamed(frame, "&Tools")), (QStringList{"Password &Health..."}));
        QCOMPARE(Entries(MenuNamed(frame, "&Help")),
                 (QStringList{"Online Documentation", "Help Reader", "Tessaline Home Page", "-",
                              "&About Tessaline..."}));

        // The Window menu lists the open windows as it opens.
        QMenu* window = MenuNamed(frame, "&Window");
        emit window->aboutToShow();
        QCOMPARE(Entries(window), (QStringList{"&Arrange Icons", "-", "&1 cards.tsf"}));
        emit window->aboutToShow();
        QCOMPARE(Entries(window), (QStringList{"&Arrange Icons", "-", "&1 cards.tsf"}));

        // The last document closed: the short menu bar comes back.
        frame.OnCommand(CommandId::FileClose);
        QTRY_COMPARE(MenuTitles(frame), (QStringList{"&File", "&Edit", "&View", "&Help"}));
    }

    void toolbarOrderTipsAndPrompts() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QList<int> order;
        for (QAction* a : frame.ToolBar()->actions())
            order << (a->isSeparator() ? 0 : ToInt(CFrameActions::CommandOf(a)));
        QCOMPARE(order, (QList<int>{57600, 57601, 57603, 1013,  0,     32830, 0, 57607,
                                    0,     1005,  0,     32822, 32821, 32844, 0, 1009,
                                    0,     1010,  32794, 0,     32818, 57664}));

        const struct {
            int id;
            const char* prompt;
            const char* tip;
        } cases[] = {
            {57600, "Create a new document", "New"},
            {57601, "Open an existing document", "Open"},
            {57603, "Save the active document", "Save"},
            {1013, "Set the password for File Encryption", "Set Password"},
            {32830, "Copy Password to Clipboard", "Copy Password"},
            {57607, "Print the active document", "Print"},
            {32822, "Load Web page into Browser", "Load Web Page"},
            {32821, "Get Web page from Browser", "Get Web Page"},
            {32844, "Fill the login of the matching card into the Browser's page", "Fill Login"},
            {1009, "Add a New Card To a Category", "Add Card"},
            {1010, "Delete a Card From a Category", "Delete Card"},
            {32794, "Update a Card", "Update Card"},
            {32818, "Read Help File", "Read Help"},
            {57664, "Display program information, version number and copyright", "About"},
        };
        for (const auto& c : cases) {
            QAction* a = frame.Action(static_cast<CommandId>(c.id));
            QVERIFY2(a, QByteArray::number(c.id).constData());
            QCOMPARE(a->statusTip(), QString::fromUtf8(c.prompt));
            QCOMPARE(a->toolTip(), QString::fromUtf8(c.tip));
            QVERIFY2(!a->icon().isNull(), QByteArray::number(c.id).constData());
        }
        // Button 1005 has no prompt of its own.
        QCOMPARE(frame.Action(CommandId::ToolLaunchBrowser)->statusTip(), QString());
    }

    // Every key of the accelerator table reaches its command, from the card list as from
    // a text field, and Alt+C / Alt+W beat the "&Card" and "&Window" menus.
    void acceleratorTableWinsOverMnemonics() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));

        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            int command;
        } cases[] = {
            {Qt::Key_C, Qt::ControlModifier, 57634},     {Qt::Key_C, Qt::AltModifier, 32811},
            {Qt::Key_D, Qt::ControlModifier, 32809},     {Qt::Key_E, Qt::ControlModifier, 32814},
            {Qt::Key_F, Qt::ControlModifier, 57636},     {Qt::Key_G, Qt::AltModifier, 32810},
            {Qt::Key_N, Qt::ControlModifier, 32808},     {Qt::Key_N, Qt::AltModifier, 57600},
            {Qt::Key_O, Qt::ControlModifier, 57601},     {Qt::Key_P, Qt::ControlModifier, 57607},
            {Qt::Key_P, Qt::AltModifier, 32827},         {Qt::Key_S, Qt::ControlModifier, 57603},
            {Qt::Key_S, Qt::AltModifier, 32828},         {Qt::Key_V, Qt::ControlModifier, 57637},
            {Qt::Key_Backspace, Qt::AltModifier, 57643}, {Qt::Key_Delete, Qt::ShiftModifier, 57635},
            {Qt::Key_F6, Qt::NoModifier, 57680},         {Qt::Key_F6, Qt::ShiftModifier, 57681},
            {Qt::Key_Insert, Qt::ShiftModifier, 57637},  {Qt::Key_W, Qt::AltModifier, 32820},
            {Qt::Key_X, Qt::ControlModifier, 57635},     {Qt::Key_Z, Qt::ControlModifier, 57643},
        };
        QList<int> ran;
        for (const auto& c : cases) {
            frame.Commands().Bind(
                static_cast<CommandId>(c.command), [&ran, id = c.command] { ran << id; },
                [](const CommandContext&) { return true; });
        }
        QLineEdit* search = frame.CategoryBar()->SearchBox()->lineEdit();
        for (QWidget* target :
             {static_cast<QWidget*>(frame.ActiveView()->List()), static_cast<QWidget*>(search)}) {
            for (const auto& c : cases) {
                target->setFocus();
                ran.clear();
                QTest::keyClick(target, c.key, c.mods);
                QCOMPARE(ran, QList<int>{c.command});
                QVERIFY(!QApplication::activePopupWidget());
            }
        }
        // Keys outside the table are the focused field's own.
        search->setFocus();
        search->clear();
        QTest::keyClicks(search, QStringLiteral("cw"));
        QCOMPARE(search->text(), QStringLiteral("cw"));
    }

    // F6 and Shift+F6 move the keys between the category bar and the card list, either way
    // round and from wherever they are; without a document there is nothing to move to.
    void nextAndPreviousPaneMoveBetweenTheBarAndTheList() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.UpdateCommandState();
        QVERIFY(!frame.Action(CommandId::NextPane)->isEnabled());
        QVERIFY(!frame.Action(CommandId::PrevPane)->isEnabled());

        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        QWidget* list = frame.ActiveView()->List();
        QWidget* selector = frame.CategoryBar()->Selector();
        QWidget* search = frame.CategoryBar()->SearchBox();
        frame.UpdateCommandState();
        QVERIFY(frame.Action(CommandId::NextPane)->isEnabled());

        const struct {
            const char* name;
            QWidget* from;
            Qt::KeyboardModifiers mods;
            QWidget* to;
        } cases[] = {
            {"list, F6", list, Qt::NoModifier, selector},
            {"selector, F6", selector, Qt::NoModifier, list},
            {"search box, F6", search, Qt::NoModifier, list},
            {"list, Shift+F6", list, Qt::ShiftModifier, selector},
            {"selector, Shift+F6", selector, Qt::ShiftModifier, list},
        };
        for (const auto& c : cases) {
            c.from->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), c.from);
            QTest::keyClick(c.from, Qt::Key_F6, c.mods);
            QVERIFY2(QApplication::focusWidget() == c.to, c.name);
        }
        // From the toolbar's side (no pane has the keys) F6 goes to the bar, Shift+F6 to
        // the list.
        frame.ToolBar()->setFocusPolicy(Qt::StrongFocus);
        frame.ToolBar()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(frame.ToolBar()));
        frame.OnCommand(CommandId::NextPane);
        QCOMPARE(QApplication::focusWidget(), selector);
        frame.ToolBar()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(frame.ToolBar()));
        frame.OnCommand(CommandId::PrevPane);
        QCOMPARE(QApplication::focusWidget(), list);
    }

    void greyedCommandIgnoresItsAccelerator() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        // Without a document Save is greyed: Ctrl+S asks nothing.
        QTest::keyClick(&frame, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(ui.fileRequests.empty());
        // Ctrl+O is always there: the open chooser comes, with its filter.
        ui.fileAnswers.push_back(std::nullopt);
        QTest::keyClick(&frame, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(ui.fileRequests.size(), std::size_t{1});
        QCOMPARE(ui.fileRequests[0].filter,
                 std::string("Encrypted Data (*.tse)|*.tse|Non Encrypted Data (*.tsf)|*.tsf||"));
        QCOMPARE(ui.fileRequests[0].defaultExtension, std::string("tse"));
        QVERIFY(ui.fileRequests[0].mustExist);
    }

    void editCommandsActOnTheFocusedField() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QLineEdit* search = frame.CategoryBar()->SearchBox()->lineEdit();

        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("hello"));
        search->selectAll();
        frame.UpdateCommandState();
        QVERIFY(frame.Action(CommandId::EditCopy)->isEnabled());
        QVERIFY(frame.Action(CommandId::EditUndo)->isEnabled());
        frame.OnCommand(CommandId::EditCopy);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));

        search->setSelection(0, 2);
        QTest::keyClick(search, Qt::Key_X, Qt::ControlModifier);  // Cut
        QCOMPARE(search->text(), QStringLiteral("llo"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("he"));
        search->setCursorPosition(3);
        QTest::keyClick(search, Qt::Key_Insert, Qt::ShiftModifier);  // Paste
        QCOMPARE(search->text(), QStringLiteral("llohe"));
        QTest::keyClick(search, Qt::Key_Z, Qt::ControlModifier);  // Undo
        QCOMPARE(search->text(), QStringLiteral("llo"));

        // With the card list focused there is no field: the four are greyed.
        frame.ActiveView()->List()->setFocus();
        frame.UpdateCommandState();
        for (CommandId id :
             {CommandId::EditUndo, CommandId::EditCut, CommandId::EditCopy, CommandId::EditPaste})
            QVERIFY2(!frame.Action(id)->isEnabled(), QByteArray::number(ToInt(id)).constData());
        QApplication::clipboard()->setText(QStringLiteral("untouched"));
        QTest::keyClick(frame.ActiveView()->List(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(search->text(), QStringLiteral("llo"));
    }

    void findPutsTheFocusInTheSearchBox() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        // A new document has no cards: Find is greyed.
        QVERIFY(frame.NewDocument());
        frame.ActiveView()->List()->setFocus();
        frame.UpdateCommandState();
        QVERIFY(!frame.Action(CommandId::EditFind)->isEnabled());
        QTest::keyClick(frame.ActiveView()->List(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!frame.CategoryBar()->SearchBox()->hasFocus());

        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        frame.ActiveView()->List()->setFocus();
        QTest::keyClick(frame.ActiveView()->List(), Qt::Key_F, Qt::ControlModifier);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus == frame.CategoryBar()->SearchBox() ||
                focus == frame.CategoryBar()->SearchBox()->lineEdit());
    }

    void statusBarCountsTheShownCards() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        QCOMPARE(frame.ItemCountText(), QStringLiteral("Items: 2"));
        frame.CategoryBar()->OnCategorySelected(QStringLiteral("Show All"));
        QCOMPARE(frame.ItemCountText(), QStringLiteral("Items: 3"));
        frame.CategoryBar()->OnCategorySelected(QStringLiteral("Credit Cards"));
        QCOMPARE(frame.ItemCountText(), QStringLiteral("Items: 0"));
        // A new empty document becomes active: its count shows.
        QVERIFY(frame.NewDocument());
        QCOMPARE(frame.ItemCountText(), QStringLiteral("Items: 0"));
    }

    void windowMenuSwitchesAndArranges() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        CChildFrame* first = frame.OpenDocumentFile(cardsFile_);
        CChildFrame* second = frame.NewDocument();
        QVERIFY(first && second);
        QCOMPARE(frame.ActiveChild(), second);

        QMenu* window = MenuNamed(frame, "&Window");
        emit window->aboutToShow();
        QCOMPARE(Entries(window),
                 (QStringList{"&Arrange Icons", "-", "&1 cards.tsf", "&2 Untitled"}));
        QAction* entry = window->actions().at(2);
        QVERIFY(entry->isCheckable() && !entry->isChecked());
        entry->trigger();
        QCOMPARE(frame.ActiveChild(), first);
        QCOMPARE(frame.ItemCountText(), QStringLiteral("Items: 2"));

        // Minimised windows line up along the bottom without covering each other.
        first->showMinimized();
        second->showMinimized();
        frame.OnCommand(CommandId::WindowArrange);
        const int bottom = frame.MdiArea()->viewport()->height();
        QCOMPARE(first->geometry().bottom() + 1, bottom);
        QCOMPARE(second->geometry().bottom() + 1, bottom);
        QVERIFY(!first->geometry().intersects(second->geometry()));
    }

    void viewCommandsShowAndHideTheBars() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        frame.UpdateCommandState();
        QVERIFY(frame.Action(CommandId::ViewToolbar)->isChecked());
        frame.OnCommand(CommandId::ViewToolbar);
        QVERIFY(frame.ToolBar()->isHidden());
        frame.UpdateCommandState();
        QVERIFY(!frame.Action(CommandId::ViewToolbar)->isChecked());
        frame.OnCommand(CommandId::ViewStatusBar);
        QVERIFY(frame.statusBar()->isHidden());
        frame.OnCommand(CommandId::ViewStatusBar);
        QVERIFY(!frame.statusBar()->isHidden());
    }

    // A command without work is greyed; once given a handler, it runs that handler.
    void laterCommandsGoThroughTheDispatchPoint() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        QVERIFY(frame.OpenDocumentFile(cardsFile_));
        frame.UpdateCommandState();
        for (CommandId id :
             {CommandId::Preferences, CommandId::GeneratePassword, CommandId::NewCard,
              CommandId::LaunchWww, CommandId::HomePage, CommandId::ExportToText})
            QVERIFY2(!frame.Action(id)->isEnabled(), QByteArray::number(ToInt(id)).constData());
        int ran = 0;
        frame.Commands().Bind(
            CommandId::Preferences, [&ran] { ++ran; }, [](const CommandContext&) { return true; });
        frame.UpdateCommandState();
        frame.Action(CommandId::Preferences)->trigger();
        QCOMPARE(ran, 1);
    }
};

QTEST_MAIN(FrameWindowTest)
#include "main_frame_window_test.moc"
