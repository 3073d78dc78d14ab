// The desktop program at home on a Linux desktop: File > Lock and the lock after minutes
// without use (with the lock panel in the window), the welcome panel, files handed over
// by a second start, the window title, the remembered window and column widths, a list
// that stays readable with a dark palette, and the screen lock over D-Bus.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "core/app/window_memory.h"
#include "core/base/message_texts.h"
#include "core/commands/command_ids.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "core/views/list_colours.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_lock_commands.h"
#include "gui/app/lock_panel.h"
#include "gui/app/main_frame.h"
#include "gui/app/welcome_panel.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/general_settings_pref.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "platform/screen_lock_watch.h"
#include "platform/single_instance.h"
#include "support/qt_data_files.h"
#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WriteDataFile;

namespace {

constexpr const char* kPassword = "correct horse";

void AddCardTo(CTessalineNewDoc& doc, const std::string& name) {
    testing::AddCard(doc.Cards(), {.code = kWwwSites, .name = name, .password = "p"});
    doc.SetModifiedFlag(true);
}

bool ShowsLockPanel(CChildFrame* child) {
    auto* pages = qobject_cast<QStackedWidget*>(child->widget());
    return pages && pages->currentWidget() == child->LockPanel();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString secret_;  // encrypted, two cards
    QString plain_;   // plain, one card

private slots:
    void initTestCase() {
        secret_ = dir_.filePath(QStringLiteral("cards.tse"));
        plain_ = dir_.filePath(QStringLiteral("plain.tsf"));
        QVERIFY(WriteDataFile(secret_,
                              {{.code = kWwwSites, .name = "mail", .password = "S3cret!pw"},
                               {.code = kWwwSites, .name = "bank", .password = "hunter22"}},
                              kPassword));
        QVERIFY(WriteDataFile(plain_, {{.code = kWwwSites, .name = "open", .password = "x"}}));
    }

    void lockShowsThePanelAndUnlockReadsTheFileAgain() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        new CFrameLockCommands(frame, ui, profile);
        ui.passwords.push_back(kPassword);
        CChildFrame* child = frame.OpenDocumentFile(secret_);
        QVERIFY(child);
        CTessalineNewView* view = child->View();
        QCOMPARE(view->Model()->rowCount(), 2);
        frame.UpdateCommandState();
        QVERIFY(frame.Action(CommandId::FileLock)->isEnabled());

        frame.OnCommand(CommandId::FileLock);
        QVERIFY(child->Document().IsLocked());
        QVERIFY(ShowsLockPanel(child));
        QCOMPARE(child->LockPanel()->Heading(), QStringLiteral("cards.tse is locked"));
        QVERIFY(child->LockPanel()->ChangesNote().isEmpty());  // all is in the file
        QCOMPARE(view->Model()->rowCount(), 0);
        QCOMPARE(child->Document().Cards().TotalStoredSize(), std::uint64_t{0});
        frame.UpdateCommandState();
        // Nothing that needs the cards can be chosen; files and windows can.
        QVERIFY(!frame.Action(CommandId::FileSave)->isEnabled());
        QVERIFY(!frame.Action(CommandId::FileLock)->isEnabled());
        QVERIFY(frame.Action(CommandId::FileClose)->isEnabled());
        QVERIFY(frame.Action(CommandId::FileOpen)->isEnabled());
        QVERIFY(!frame.CategoryBar()->isEnabled());

        // A wrong password: the reader's message, still locked, the field emptied.
        QLineEdit* field = child->LockPanel()->PasswordField();
        QVERIFY(!child->LockPanel()->UnlockButton()->isEnabled());
        QTest::keyClicks(field, QStringLiteral("wrong horse"));
        QTest::mouseClick(child->LockPanel()->UnlockButton(), Qt::LeftButton);
        QCOMPARE(ui.Texts(), std::vector<std::string>{msg::kPasswordNotCorrect});
        QVERIFY(child->Document().IsLocked());
        QVERIFY(field->text().isEmpty());

        // The right one, with Enter: the cards are back in the list.
        QTest::keyClicks(field, QString::fromLatin1(kPassword));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!child->Document().IsLocked());
        QVERIFY(!ShowsLockPanel(child));
        QCOMPARE(view->Model()->rowCount(), 2);
        QStringList names;
        for (const CCard* c : view->Model()->Rows())
            names << QString::fromStdString(c->Name());
        QCOMPARE(names, (QStringList{"bank", "mail"}));
        QCOMPARE(child->Document().Model().CipherState().encryptionPassword,
                 std::string(kPassword));
        frame.UpdateCommandState();
        QVERIFY(frame.Action(CommandId::FileSave)->isEnabled());
    }

    void plainFilesStayOpenAndUnsavedChangesLockToo() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyOperations, 1);
        profile.WriteInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB, 8);
        CMainFrame frame(ui, profile);
        auto* lock = new CFrameLockCommands(frame, ui, profile);
        CChildFrame* open = frame.OpenDocumentFile(plain_);
        ui.passwords.push_back(kPassword);
        CChildFrame* changed = frame.OpenDocumentFile(secret_);
        QVERIFY(open && changed);
        AddCardTo(changed->Document(), "added");
        const QByteArray onDisk = testing::ReadAll(secret_);

        // Nothing is saved first, nothing stays open: the change is kept locked.
        lock->LockAll();
        QVERIFY(!open->Document().IsLocked());
        QVERIFY(changed->Document().IsLocked());
        QVERIFY(changed->Document().IsModified());
        QVERIFY(!frame.StatusMessage().contains(QStringLiteral("not locked")));
        QCOMPARE(changed->Document().Cards().LiveCardCount(), 0);
        QCOMPARE(testing::ReadAll(secret_), onDisk);
        QTest::keyClicks(changed->LockPanel()->PasswordField(), QString::fromLatin1(kPassword));
        QTest::keyClick(changed->LockPanel()->PasswordField(), Qt::Key_Return);
        QCOMPARE(changed->View()->Model()->rowCount(), 3);
        QVERIFY(changed->Document().IsModified());
    }

    void idleMinutesLockAndDialogsCloseForIt() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteInt(prefs::kGeneralSection, prefs::kLockAfterMinutes, 5);
        CMainFrame frame(ui, profile);
        auto* lock = new CFrameLockCommands(frame, ui, profile);
        ui.passwords.push_back(kPassword);
        CChildFrame* child = frame.OpenDocumentFile(secret_);
        using std::chrono::minutes;
        const auto start = IdleLockClock::Clock::now();
        lock->IdleClock().Touch(start);
        lock->CheckIdle(start + minutes(4));
        QVERIFY(!child->Document().IsLocked());
        // A key press counts as use.
        QTest::keyClick(child->View()->List(), Qt::Key_Down);
        lock->CheckIdle(start + minutes(5));
        QVERIFY(!child->Document().IsLocked());
        lock->IdleClock().Touch(start);
        lock->CheckIdle(start + minutes(5));
        QVERIFY(child->Document().IsLocked());

        // 0 minutes: never.
        QTest::keyClicks(child->LockPanel()->PasswordField(), QString::fromLatin1(kPassword));
        QTest::keyClick(child->LockPanel()->PasswordField(), Qt::Key_Return);
        QVERIFY(!child->Document().IsLocked());
        profile.WriteInt(prefs::kGeneralSection, prefs::kLockAfterMinutes, 0);
        lock->ReloadMinutes();
        lock->IdleClock().Touch(start);
        lock->CheckIdle(start + std::chrono::hours(48));
        QVERIFY(!child->Document().IsLocked());

        // A dialog open when the time comes: the lock closes it and goes ahead.
        const testing::ModalWatch watch =
            testing::WhenModal<QDialog>([&](QDialog&) { lock->LockAll(); });
        QDialog dialog(&frame);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(watch.Seen());
        QTRY_VERIFY(child->Document().IsLocked());
        QVERIFY(!lock->LockPending());
    }

    void welcomePanelWhileNothingIsOpen() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        auto* pages = qobject_cast<QStackedWidget*>(frame.centralWidget());
        QVERIFY(pages);
        QCOMPARE(pages->currentWidget(), static_cast<QWidget*>(frame.WelcomePanel()));
        QVERIFY(frame.WelcomePanel()->RecentButtons().isEmpty());
        QVERIFY(frame.WelcomePanel()->ImportButton()->isHidden());

        // Open... and the recent files go through the File commands.
        ui.Choose(plain_.toStdString());
        QTest::mouseClick(frame.WelcomePanel()->OpenButton(), Qt::LeftButton);
        QCOMPARE(frame.Children().size(), 1);
        QCOMPARE(pages->currentWidget(), static_cast<QWidget*>(frame.MdiArea()));
        frame.CloseAllDocuments();
        QCOMPARE(pages->currentWidget(), static_cast<QWidget*>(frame.WelcomePanel()));
        QCOMPARE(frame.WelcomePanel()->RecentButtons().size(), 1);
        QCOMPARE(frame.WelcomePanel()->RecentButtons().front()->text(),
                 QStringLiteral("plain.tsf"));
        QTest::mouseClick(frame.WelcomePanel()->RecentButtons().front(), Qt::LeftButton);
        QCOMPARE(frame.ActiveDocument()->PathName(), plain_);
        frame.CloseAllDocuments();

        QTest::mouseClick(frame.WelcomePanel()->NewButton(), Qt::LeftButton);
        QCOMPARE(frame.ActiveDocument()->Title(), QStringLiteral("Untitled"));
        frame.CloseAllDocuments();

        // Import: shown once the command has its work; it runs on a new document, which
        // goes again when nothing was imported.
        int imports = 0;
        bool addCards = false;
        frame.Commands().Bind(
            CommandId::FileImportCsv,
            [&] {
                ++imports;
                QVERIFY(frame.ActiveDocument());
                if (addCards)
                    AddCardTo(*frame.ActiveDocument(), "imported");
            },
            [](const CommandContext& c) { return c.hasDocument; });
        QVERIFY(!frame.WelcomePanel()->ImportButton()->isHidden());
        QTest::mouseClick(frame.WelcomePanel()->ImportButton(), Qt::LeftButton);
        QCOMPARE(imports, 1);
        QTRY_COMPARE(frame.Children().size(), 0);
        addCards = true;
        QTest::mouseClick(frame.WelcomePanel()->ImportButton(), Qt::LeftButton);
        QCOMPARE(imports, 2);
        QCOMPARE(frame.Children().size(), 1);
        QVERIFY(frame.ActiveDocument()->IsModified());
        frame.CloseAllDocuments();
    }

    void titleNamesTheFileOnceAndShowsUnsavedChanges() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tessaline"));
        CChildFrame* child = frame.OpenDocumentFile(plain_);
        const QString wanted = QStringLiteral("plain.tsf[*] \u2014 Tessaline");
        // The maximised child window rewrites the title as it comes; the frame's returns.
        QTRY_COMPARE(frame.windowTitle(), wanted);
        QVERIFY(!frame.isWindowModified());
        AddCardTo(child->Document(), "new");
        QVERIFY(frame.isWindowModified());
        QVERIFY(child->isWindowModified());
        frame.CloseAllDocuments();
        QTRY_COMPARE(frame.windowTitle(), QStringLiteral("Tessaline"));
        QVERIFY(!frame.isWindowModified());
    }

    void windowPlaceAndColumnWidthsAreRemembered() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        {
            CMainFrame frame(ui, profile);
            frame.show();
            frame.resize(812, 533);
            CChildFrame* child = frame.OpenDocumentFile(plain_);
            child->View()->List()->header()->resizeSection(0, 222);
            frame.close();
        }
        QVERIFY(!profile.GetText(prefs::kSettingsSection, prefs::kWindowGeometry, "").empty());
        const std::optional<ColumnWidths> widths =
            ParseColumnWidths(profile.GetText(prefs::kSettingsSection, prefs::kColumnWidths, ""));
        QVERIFY(widths);
        QCOMPARE((*widths)[0], 222);

        CMainFrame again(ui, profile);
        QCOMPARE(again.size(), QSize(812, 533));
        CChildFrame* child = again.OpenDocumentFile(plain_);
        QCOMPARE(child->View()->List()->header()->sectionSize(0), 222);
        QCOMPARE(child->View()->List()->header()->sectionSize(1), 100);
    }

    void darkPaletteKeepsTheListReadable() {
        const QPalette before = QApplication::palette();
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 45));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::AlternateBase, QColor(40, 40, 40));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(50, 50, 50));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
        dark.setColor(QPalette::HighlightedText, Qt::black);
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.show();
        ui.passwords.push_back(kPassword);
        CChildFrame* child = frame.OpenDocumentFile(secret_);
        auto colourOf = [&] {
            const QColor c = child->View()->List()->palette().color(QPalette::Text);
            const QColor b = child->View()->List()->palette().color(QPalette::Base);
            return ContrastRatio(
                Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                    static_cast<std::uint8_t>(c.blue())},
                Rgb{static_cast<std::uint8_t>(b.red()), static_cast<std::uint8_t>(b.green()),
                    static_cast<std::uint8_t>(b.blue())});
        };
        QCOMPARE(child->View()->List()->palette().color(QPalette::Text), QColor(0, 0, 255));
        QApplication::setPalette(dark);
        QTRY_VERIFY(child->View()->List()->palette().color(QPalette::Base).lightness() < 60);
        QVERIFY(child->View()->List()->palette().color(QPalette::Text) != QColor(0, 0, 255));
        QTRY_VERIFY(colourOf() >= kReadableContrast);
        QVERIFY(child->View()->List()->palette().color(QPalette::Text).blue() == 255);
        // A picture to look at: TESSALINE_SCREENSHOT_DIR keeps it.
        const QString folder = qEnvironmentVariable("TESSALINE_SCREENSHOT_DIR", dir_.path());
        QVERIFY(frame.grab().save(QDir(folder).filePath(QStringLiteral("dark-palette.png"))));
        QApplication::setPalette(before);
        QTRY_COMPARE(child->View()->List()->palette().color(QPalette::Text), QColor(0, 0, 255));
    }

    void generalPageKeepsTheLockMinutesAndNamesTheBrowsers() {
        CGeneralSettingsPref page;
        QCOMPARE(page.NetscapeRadio()->text(), QStringLiteral("Command-line browser (Firefox)"));
        QCOMPARE(page.ExplorerRadio()->text(), QStringLiteral("Automation browser (Chromium)"));
        MemoryProfile profile;
        Preferences prefs = LoadPreferences(profile);
        QCOMPARE(prefs.lockAfterMinutes, 10);
        page.Load(prefs, 0);
        QCOMPARE(page.LockMinutesSpin()->value(), 10);
        page.LockMinutesSpin()->setValue(0);
        page.Store(prefs);
        SavePreferences(profile, prefs);
        QCOMPARE(profile.GetInt(prefs::kGeneralSection, prefs::kLockAfterMinutes, -1), 0);
        // The stored browser values are those of old: 1 is the automation browser.
        QCOMPARE(profile.GetInt(prefs::kInternetSection, "Choose Web Browser", -1), 1);
    }

    void aSecondStartHandsItsFilesOver() {
        QTemporaryDir folder;
        QVERIFY(QFile::setPermissions(folder.path(), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner));
        InstanceChannel running(folder.path());
        QCOMPARE(running.Claim(), InstanceChannel::Role::Running);
        InstanceChannel later(folder.path());
        QCOMPARE(later.Claim(), InstanceChannel::Role::Second);
        QSignalSpy handed(&running, &InstanceChannel::FilesHandedOver);

        // The real program, started a second time with a relative file name.
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSALINE_DDE_FOLDER"), folder.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(dir_.path());
        second.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tessaline"),
                     {QStringLiteral("--no-splash"), QStringLiteral("plain.tsf")});
        QVERIFY(second.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(handed.size(), 1, 20'000);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20'000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(handed.front().front().toStringList(), QStringList{plain_});

        // The running program opens it, or brings forward the window that has it.
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        frame.ReceiveHandedOverFiles(handed.front().front().toStringList());
        QCOMPARE(frame.Children().size(), 1);
        frame.ReceiveHandedOverFiles({plain_});
        QCOMPARE(frame.Children().size(), 1);
        QCOMPARE(frame.ActiveDocument()->PathName(), plain_);

        // Another user's program never gets this far: the folder and the socket are ours.
        QCOMPARE(QFileInfo(running.SocketPath()).permissions() &
                     (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup |
                      QFileDevice::WriteGroup),
                 QFileDevice::Permissions());
    }

    void screenLockOverDBusLocks() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QProcess bus;
        bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
        QVERIFY(bus.waitForStarted());
        QVERIFY(bus.waitForReadyRead(10'000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        QVERIFY(!address.isEmpty());
        {
            QDBusConnection listener =
                QDBusConnection::connectToBus(address, QStringLiteral("desktop-test-listener"));
            QDBusConnection sender =
                QDBusConnection::connectToBus(address, QStringLiteral("desktop-test-sender"));
            QVERIFY(listener.isConnected() && sender.isConnected());
            ScreenLockWatch watch(listener, std::nullopt);
            QVERIFY(watch.Subscriptions() >= 1);
            QSignalSpy locked(&watch, &ScreenLockWatch::ScreenLocked);
            // A call that waits for its answer: the bus has taken the watch's match rules
            // (sent before it on the same connection) once it answers.
            listener.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));

            auto send = [&](const char* path, const char* interface, bool active) {
                QDBusMessage m = QDBusMessage::createSignal(QString::fromLatin1(path),
                                                            QString::fromLatin1(interface),
                                                            QStringLiteral("ActiveChanged"));
                m << active;
                QVERIFY(sender.send(m));
            };
            send("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", false);
            send("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", true);
            QTRY_COMPARE(locked.size(), 1);
            send("/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", true);
            QTRY_COMPARE(locked.size(), 2);
            QTest::qWait(100);
            QCOMPARE(locked.size(), 2);  // the "false" unlocked nothing and locked nothing
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop-test-listener"));
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop-test-sender"));
        bus.terminate();
        bus.waitForFinished(5'000);
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
