// The Internet commands as a user reaches them in the main window: the launchers with
// small scripts as helper programs, Load Web Page and Get Web Page with no browser
// running (they end quietly; Get Web Page still offers the New Card dialog).

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "core/browser/browser_commands.h"
#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "gui/app/frame_browser_commands.h"
#include "gui/browser/browser_call_runner.h"
#include "gui/browser/browser_integration.h"
#include "gui/browser/dde_object.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_dialog.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/wired_frame.h"

using namespace tessaline;
using tessaline::testing::ModalWatch;
using tessaline::testing::WhenModal;
using tessaline::testing::WiredFrame;
using tessaline::testing::WriteDataFile;

namespace {

// A helper program that leaves a marker file behind when it runs.
QString MarkerScript(const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name + QStringLiteral(".sh"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\necho ran > '" + dir.filePath(name + QStringLiteral(".ran")).toUtf8() +
            "'\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

bool Ran(const QDir& dir, const QString& name) {
    return QFileInfo::exists(dir.filePath(name + QStringLiteral(".ran")));
}

// Whether the window's browser call (they run on a thread of their own) has ended.
bool BrowserCallEnded(WiredFrame& w) {
    return !CFrameBrowserCommands::Of(*w)->Runner().Busy();
}

}  // namespace

class WiringBrowserCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString cardsFile_;

private slots:
    void initTestCase() {
        // The DDE route is tried too, with no browser service to answer it.
        QVERIFY(InitializeDde());
        SetDdeRequestTimeout(2000);
        cardsFile_ = dir_.filePath(QStringLiteral("cards.tsf"));
        QVERIFY(WriteDataFile(cardsFile_, {{.code = kWwwSites,
                                            .name = "site",
                                            .address = "http://127.0.0.1:9/login",
                                            .user = "me",
                                            .password = "p@ss",
                                            .attributes = 0x03}}));
    }
    void cleanupTestCase() { UninitializeDde(); }

    // Launchers and help pages can always be chosen; the toolbar's Load Web Page needs
    // a selected card, its Get Web Page a card list.
    void enabledStates() {
        WiredFrame w;
        for (CommandId id :
             {CommandId::LaunchWww, CommandId::ToolLaunchBrowser, CommandId::LaunchEmail,
              CommandId::LaunchLogin, CommandId::LaunchNews, CommandId::LaunchFtp,
              CommandId::LoadWebPage, CommandId::GetWebPage, CommandId::OnlineDocumentation,
              CommandId::HelpReader, CommandId::HomePage})
            QVERIFY2(w.Enabled(id), QByteArray::number(ToInt(id)));
        QVERIFY(!w.Enabled(CommandId::ToolLoadWebPage));
        QVERIFY(!w.Enabled(CommandId::ToolGetWebPage));
        QVERIFY(!w.Enabled(CommandId::FillLogin));
        QVERIFY(w->OpenDocumentFile(cardsFile_));
        w->ActiveView()->SelectCard(nullptr);
        QVERIFY(!w.Enabled(CommandId::ToolLoadWebPage));
        QVERIFY(w.Enabled(CommandId::ToolGetWebPage));
        QVERIFY(w.Enabled(CommandId::FillLogin));
        w->ActiveView()->SelectCard(w->ActiveView()->Model()->Rows().front());
        QVERIFY(w.Enabled(CommandId::ToolLoadWebPage));
    }

    // With no browser running and no DDE service, Load Web Page ends without a word
    // and changes nothing; it starts no browser.
    void loadWebPageWithNoBrowserEndsQuietly() {
        WiredFrame w;
        w->OnCommand(CommandId::LoadWebPage);  // no document: nothing to do
        QVERIFY(w->OpenDocumentFile(cardsFile_));
        w->ActiveView()->SelectCard(w->ActiveView()->Model()->Rows().front());
        w->OnCommand(CommandId::LoadWebPage);
        QTRY_VERIFY(BrowserCallEnded(w));
        w->Action(CommandId::ToolLoadWebPage)->trigger();
        QTRY_VERIFY(BrowserCallEnded(w));
        QVERIFY(w.ui.Texts().empty());
        QVERIFY(!w->ActiveDocument()->IsModified());
        QCOMPARE(w->Children().size(), 1);
        QVERIFY(!QFileInfo::exists(w.browserProfile.filePath("browser/DevToolsActivePort")));
    }

    // Fill Login (Ctrl+Shift+L) with no browser running says so in the status bar and
    // changes nothing.
    void fillLoginWithNoBrowserSaysSo() {
        WiredFrame w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));
        QVERIFY(w->OpenDocumentFile(cardsFile_));
        w->ActiveView()->SelectCard(w->ActiveView()->Model()->Rows().front());
        QTest::keyClick(w.frame.get(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(BrowserCallEnded(w));
        QCOMPARE(w->statusBar()->currentMessage(), QString::fromLatin1(kStatusNoBrowserPage));
        QVERIFY(w.ui.Texts().empty());
        QVERIFY(!w->ActiveDocument()->IsModified());
    }

    // Get Web Page (Alt+W) with nothing answering still opens the New Card dialog, with
    // empty name and address; where no category is shown it is refused.
    void getWebPageWithNoBrowserOffersAnEmptyCard() {
        WiredFrame w;
        QVERIFY(w.ShowAndOpen(cardsFile_));
        w->CategoryBar()->OnCategorySelected(QStringLiteral("WWW Sites"));
        ModalWatch seen;
        seen = WhenModal<CCardDialog>([](CCardDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("New Card"));
            QCOMPARE(d.NameEdit()->text(), QString());
            QCOMPARE(d.AddressEdit()->text(), QString());
            d.NameEdit()->setText(QStringLiteral("from the web"));
            QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        });
        QTest::keyClick(w.frame.get(), Qt::Key_W, Qt::AltModifier);
        QTRY_VERIFY(seen);
        QCOMPARE(w->ActiveView()->ItemCount(), 2);
        QVERIFY(w->ActiveDocument()->IsModified());

        w->CategoryBar()->OnCategorySelected(QStringLiteral("Show All"));
        seen = WhenModal<CCardDialog>([](CCardDialog&) {}, std::chrono::milliseconds(50));
        w->Action(CommandId::ToolGetWebPage)->trigger();
        QTRY_VERIFY(BrowserCallEnded(w));
        QTest::qWait(100);
        QVERIFY(!seen);
        QCOMPARE(w.ui.Texts().back(), std::string("Please select a category first."));
        QCOMPARE(w->ActiveDocument()->Cards().LiveCardCount(), 2);
    }

    // Each launcher starts its helper program from the start-up copy of its path; Help
    // Reader reads its path afresh and says so when there is none.
    void launchersStartTheirHelpers() {
        QTemporaryDir scripts;
        const QDir dir(scripts.path());
        WiredFrame w;
        const std::vector<std::tuple<CommandId, const char*, QString>> launchers = {
            {CommandId::LaunchEmail, prefs::kMailProgFilePath, "mail"},
            {CommandId::LaunchLogin, prefs::kTelnetFilePath, "telnet"},
            {CommandId::LaunchNews, prefs::kNewsProgFilePath, "news"},
            {CommandId::LaunchFtp, prefs::kFtpFilePath, "ftp"},
        };
        for (const auto& [command, key, name] : launchers)
            w.profile.WriteText("Internet Preferences", key, MarkerScript(dir, name).toStdString());
        CFrameBrowserCommands::Of(*w)->Integration().LoadApplicationPaths();
        for (const auto& [command, key, name] : launchers) {
            w->OnCommand(command);
            QTRY_VERIFY2(Ran(dir, name), qPrintable(name));
        }

        w->OnCommand(CommandId::HelpReader);
        QCOMPARE(w.ui.Texts().back(), std::string(kMsgHelpReaderMissing));
        w.profile.WriteText("Internet Preferences", prefs::kHelpProgFilePath,
                            MarkerScript(dir, "help").toStdString());
        w->OnCommand(CommandId::HelpReader);
        QTRY_VERIFY(Ran(dir, "help"));

        // The automation browser cannot be started: the user is told.
        w->OnCommand(CommandId::LaunchWww);
        QTRY_VERIFY(BrowserCallEnded(w));
        QCOMPARE(w.ui.Texts().back(), std::string(kMsgCouldNotStartExplorer));
        w.profile.WriteInt("Internet Preferences", prefs::kChooseWebBrowser, 0);
        w->Action(CommandId::ToolLaunchBrowser)->trigger();
        QTRY_VERIFY(BrowserCallEnded(w));
        QCOMPARE(w.ui.Texts().back(), std::string(kMsgCouldNotStartNetscape));
    }
};

QTEST_MAIN(WiringBrowserCommandsTest)
#include "browser_commands_test.moc"
