// Sealed files in the desktop program: the status bar says how each open file is stored
// and notes once that a compatible file can be sealed; key derivation runs off the
// user-interface thread under a busy cursor and a progress window.

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/base/message_texts.h"
#include "core/commands/command_ids.h"
#include "core/document/file_with_user.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/qt_user_answers.h"
#include "gui/document/tessaline_doc.h"
#include "support/qt_data_files.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;

namespace {

using testing::kQuickSeal;

// A one-card file under "hunter22": sealed, compatible or plain.
bool WriteFile(const QString& path, bool encrypt, bool sealed) {
    FileCipherState state = testing::CipherFor("hunter22");
    state.encryptOnSave = encrypt;
    state.sealed = sealed;
    state.seal = kQuickSeal;
    return testing::WriteDataFile(path, {{.code = kWwwSites, .name = "mail"}}, std::move(state));
}

}  // namespace

class DocviewSealedTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void statusBarShowsHowEachFileIsStored() {
        const QString sealed = dir_.filePath(QStringLiteral("sealed.tse"));
        const QString compatible = dir_.filePath(QStringLiteral("compatible.tse"));
        QVERIFY(WriteFile(sealed, true, true));
        QVERIFY(WriteFile(compatible, true, false));
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
        profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
        CMainFrame frame(ui, profile);
        QCOMPARE(frame.LayoutText(), QString());

        ui.passwords.push_back("hunter22");
        CChildFrame* first = frame.OpenDocumentFile(sealed);
        QVERIFY(first);
        QCOMPARE(frame.LayoutText(), QStringLiteral("Sealed"));
        QCOMPARE(frame.statusBar()->currentMessage(), QString());

        ui.passwords.push_back("hunter22");
        QVERIFY(frame.OpenDocumentFile(compatible));
        QCOMPARE(frame.LayoutText(), QStringLiteral("Encrypted (compatible)"));
        QCOMPARE(frame.statusBar()->currentMessage(), QString::fromLatin1(msg::kCompatibleNote));

        CChildFrame* fresh = frame.NewDocument();
        QCOMPARE(frame.LayoutText(), QStringLiteral("Not encrypted"));
        // Set Password on the new document: sealed unless the user picks otherwise, and
        // the status bar follows at once.
        testing::AddCard(fresh->Document().Cards(), {.code = kWwwSites, .name = "a"});
        fresh->Document().SetModifiedFlag(true);
        ui.encryptionAnswers.push_back(FileEncryptionAnswer{true, "longpassword", "longpassword"});
        frame.OnCommand(CommandId::SetPassword);
        QCOMPARE(frame.LayoutText(), QStringLiteral("Sealed"));

        frame.MdiArea()->setActiveSubWindow(first);
        QCOMPARE(frame.LayoutText(), QStringLiteral("Sealed"));
        QVERIFY(ui.Texts().empty());
    }

    void keyDerivationRunsOffTheGuiThreadUnderABusyCursor() {
        QWidget window;
        window.show();
        QtUserAnswers answers(&window);
        std::atomic<bool> seenEverything{false};
        bool sawWaitCursor = false;
        bool sawProgress = false;
        int ticks = 0;
        // The user-interface thread keeps running its timers while the work goes on.
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            ++ticks;
            const QCursor* cursor = QApplication::overrideCursor();
            sawWaitCursor = sawWaitCursor || (cursor && cursor->shape() == Qt::WaitCursor);
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(w);
                if (progress && progress->isVisible() &&
                    progress->labelText() == QString::fromLatin1(msg::kSealing)) {
                    sawProgress = true;
                }
            }
            if (sawWaitCursor && sawProgress)
                seenEverything = true;
        });
        watcher.start(20);

        QThread* workThread = nullptr;
        answers.RunWhileBusy(msg::kSealing, [&] {
            workThread = QThread::currentThread();
            // Waits for the window to show that it is busy (at most 30 s, so that a
            // broken busy window fails the test instead of hanging it).
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!seenEverything && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        watcher.stop();

        QVERIFY(workThread != nullptr);
        QVERIFY(workThread != QThread::currentThread());
        QVERIFY(sawWaitCursor);
        QVERIFY(sawProgress);
        QVERIFY(ticks > 0);
        // Everything is back as it was.
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<QProgressDialog*>(w) && w->isVisible()));
    }
};

QTEST_MAIN(DocviewSealedTest)
#include "sealed_doc_test.moc"
