// No entry of the menus and no toolbar button is left without work once the window is
// wired: with a card selected in a category, each can be chosen, and choosing it runs
// its command instead of falling through as not handled.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>
#include <set>

#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "gui/app/frame_actions.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

namespace {

void CollectCommands(const QList<QAction*>& actions, std::set<CommandId>& out) {
    for (const QAction* a : actions) {
        if (a->menu() != nullptr)
            CollectCommands(a->menu()->actions(), out);
        else if (const CommandId id = CFrameActions::CommandOf(a); id != CommandId::None)
            out.insert(id);
    }
}

// Commands that act on the focused text field or on changes made before, recent-file
// entries beyond the list, Lock, which needs an encrypted file (this one is plain), and the
// recycle bin's commands, which need cards in the bin.
bool DependsOnMoreThanTheList(CommandId id) {
    return id == CommandId::EditUndo || id == CommandId::EditRedo || id == CommandId::EditCut ||
           id == CommandId::EditCopy || id == CommandId::EditPaste ||
           (id >= CommandId::FileMru2 && id <= CommandId::FileMru4) || id == CommandId::FileLock ||
           id == CommandId::RestoreCard || id == CommandId::DeletePermanently ||
           id == CommandId::EmptyRecycleBin;
}

}  // namespace

class WiringMenusTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void everyMenuEntryAndButtonHasWork() {
        const QString file = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(WriteDataFile(file, {{.code = kWwwSites, .name = "site", .password = "pw"},
                                     {.code = kWwwSites, .name = "other"}}));
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(file));
        w->CategoryBar()->OnCategorySelected(QStringLiteral("WWW Sites"));
        CCard* selected = w->ActiveView()->Model()->Rows().front();
        // Copy One-Time Code needs a card with a secret (set in memory: a plain file does
        // not keep it).
        selected->SetOtpUri("JBSWY3DPEHPK3PXP");
        w->ActiveView()->SelectCard(selected);
        w->ActiveView()->List()->setFocus();

        std::set<CommandId> commands;
        CollectCommands(w->menuBar()->actions(), commands);
        CollectCommands(w->ToolBar()->actions(), commands);
        QVERIFY(commands.size() > 50);
        for (CommandId id : commands) {
            if (!DependsOnMoreThanTheList(id))
                QVERIFY2(w.Enabled(id), QByteArray::number(ToInt(id)));
        }

        // Every window a command opens is closed again at once; the questions the commands
        // ask through the user get Cancel: Delete Card's and the toolbar's delete button's
        // confirmation, the File Encryption dialog from the menu and the toolbar, and the
        // choosers of Open, Import and Export To Text.
        w.ui.messageAnswers = {MsgAnswer::Cancel, MsgAnswer::Cancel};
        w.ui.encryptionAnswers = {std::nullopt, std::nullopt};
        w.ui.fileAnswers = {std::nullopt, std::nullopt, std::nullopt};
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start(20);
        QSignalSpy notHandled(w.frame.get(), &CMainFrame::CommandNotHandled);
        for (CommandId id : commands) {
            // Closing the file or the program would end the run.
            if (id == CommandId::AppExit || id == CommandId::FileClose)
                continue;
            w->OnCommand(id);
        }
        closer.stop();
        QCOMPARE(notHandled.count(), 0);
        const std::vector<std::string> asked = w.ui.Texts();
        QCOMPARE(static_cast<int>(std::count_if(asked.begin(), asked.end(),
                                                [](const std::string& text) {
                                                    return text.starts_with(
                                                        "Are you sure you want to delete the card");
                                                })),
                 2);
    }
};

QTEST_MAIN(WiringMenusTest)
#include "menus_test.moc"
