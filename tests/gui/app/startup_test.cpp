// Start-up with the program's own hooks: DDE, the commands wired into the new window,
// the first-start browser detection (on a PATH of our own), the start-up launches (only
// the value 1 starts a program) and the splash, switched off by --no-splash.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/browser/browser_commands.h"
#include "core/commands/command_ids.h"
#include "core/platform/handheld_users.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/frame_startup.h"
#include "gui/app/main_frame.h"
#include "gui/app/splash_window.h"
#include "gui/browser/dde_object.h"
#include "support/qt_data_files.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;

namespace {

// An executable script at dir/name that leaves dir/name.ran behind when it runs.
QString Script(const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\necho ran > '" + path.toUtf8() + ".ran'\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() { qputenv(name_, old_); }

private:
    const char* name_;
    QByteArray old_;
};

}  // namespace

class WiringStartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    JPilotHandheldUsers NoHandheld() {
        const std::string home = dir_.filePath(QStringLiteral("nohandheld")).toStdString();
        return JPilotHandheldUsers(
            [home](const char* name) {
                return std::string(name) == "JPILOT_HOME" ? home : std::string();
            },
            "tester");
    }

private slots:
    void cleanup() {
        CSplashWindow::HideSplash();
        UninitializeDde();
    }

    void firstStartDetectsBrowsersLaunchesAndShowsTheSplash() {
        QTemporaryDir bin;
        const QDir binDir(bin.path());
        const QString browser = Script(binDir, QStringLiteral("chromium"));
        const QString news = Script(binDir, QStringLiteral("news-reader"));
        const QString ftp = Script(binDir, QStringLiteral("ftp-program"));
        ScopedEnv path("PATH", bin.path().toUtf8());

        ScriptedAnswers ui;
        MemoryProfile profile;
        profile.WriteText("Internet Preferences", prefs::kNewsProgFilePath, news.toStdString());
        profile.WriteText("Internet Preferences", prefs::kFtpFilePath, ftp.toStdString());
        profile.WriteInt("Start Up Preferences", prefs::kLaunchNewsReader, 1);
        profile.WriteInt("Start Up Preferences", prefs::kLaunchFtp, 2);  // only 1 counts
        JPilotHandheldUsers users = NoHandheld();
        CFrameStartup startup(ui, profile, users);
        startup.SetShowWindow(false);
        startup.StartupHooks() = CFrameStartup::DesktopHooks(ui, profile);
        QVERIFY(RunStartup(ParseCommandLine({"tessaline"}), startup, profile));

        QVERIFY(DdeInstanceId() != 0);
        CMainFrame* frame = startup.Frame();
        QVERIFY(frame != nullptr);
        // The start-up launches run as a browser call, which greys the browser's commands
        // until it ends.
        for (CommandId id : {CommandId::Preferences, CommandId::GeneratePassword,
                             CommandId::LaunchWww, CommandId::HomePage})
            QTRY_VERIFY2((frame->UpdateCommandState(), frame->Action(id)->isEnabled()),
                         QByteArray::number(ToInt(id)));

        QCOMPARE(profile.GetText("Internet Preferences", prefs::kExplorerFilePath, ""),
                 browser.toStdString());
        QCOMPARE(profile.GetInt("General Preferences", prefs::kBrowsersDetected, 0), 1);
        QTRY_VERIFY(QFileInfo::exists(news + QStringLiteral(".ran")));
        QVERIFY(CSplashWindow::Current() != nullptr);
        QVERIFY(ui.Texts().empty());
        // The browser program found was only noted, not started.
        QVERIFY(!QFileInfo::exists(browser + QStringLiteral(".ran")));
        QVERIFY(!QFileInfo::exists(ftp + QStringLiteral(".ran")));
    }

    // A later start looks for no browsers; --no-splash shows no splash; with no browser
    // on PATH the first start tells the user.
    void laterStartAndNoSplash() {
        QTemporaryDir bin;
        ScopedEnv path("PATH", bin.path().toUtf8());
        ScriptedAnswers ui;
        MemoryProfile profile;
        JPilotHandheldUsers users = NoHandheld();
        {
            CFrameStartup startup(ui, profile, users);
            startup.SetShowWindow(false);
            startup.StartupHooks() = CFrameStartup::DesktopHooks(ui, profile);
            QVERIFY(RunStartup(ParseCommandLine({"tessaline", "--no-splash"}), startup, profile));
            QVERIFY(CSplashWindow::Current() == nullptr);
            QCOMPARE(ui.Texts(), std::vector<std::string>{kMsgNoWebBrowsers});
            QCOMPARE(profile.GetInt("General Preferences", prefs::kBrowsersDetected, 0), 1);
        }
        ui.ClearShown();
        CFrameStartup again(ui, profile, users);
        again.SetShowWindow(false);
        again.StartupHooks() = CFrameStartup::DesktopHooks(ui, profile);
        QVERIFY(RunStartup(ParseCommandLine({"tessaline", "--no-splash"}), again, profile));
        QVERIFY(ui.Texts().empty());
    }
};

QTEST_MAIN(WiringStartupTest)
#include "startup_test.moc"
