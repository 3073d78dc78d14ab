// The launch commands starting real programs: small scripts that leave a marker file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "browser_test_support.h"
#include "core/browser/browser_commands.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "gui/browser/qt_process_launcher.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

class NoBrowser : public IBrowserAutomation {
public:
    int starts = 0;
    Navigation NavigateRunningExplorer(const std::string&, bool) override { return {}; }
    Navigation NavigateWithLogin(const std::string&, bool, const std::string&,
                                 const std::string&) override {
        return {};
    }
    Navigation NavigateAndWait(const std::string&, bool) override { return {}; }
    bool StartExplorerAtHome() override {
        ++starts;
        return false;
    }
    bool GetRunningExplorerURL(std::string&) override { return false; }
    bool GetRunningExplorerTitle(std::string&) override { return false; }
    LoginFillReport FillLoginForm(const LoginFillRequest&) override { return {}; }
    PageLoginForm ReadLoginForm(bool) override { return {}; }
};

class NoDde : public IDdeBrowser {
public:
    void OpenURL(const std::string&, bool) override {}
    void GetWindowInfo(std::string& a, std::string& t) override {
        a.clear();
        t.clear();
    }
};

class LauncherTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    MemoryProfile profile;
    testing::ScriptedAnswers ui;
    QtProcessLauncher launcher;
    NoBrowser browser;
    NoDde dde;
    BrowserCommands commands{profile, ui, launcher, browser, dde};

    // A program that writes its arguments, one a line, to "<name>.marker".
    std::string Script(const QString& name) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + Marker(name).toUtf8() +
                   ".tmp'\nmv '" + Marker(name).toUtf8() + ".tmp' '" + Marker(name).toUtf8() +
                   "'\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path.toStdString();
    }
    QString Marker(const QString& name) { return dir.filePath(name + QStringLiteral(".marker")); }
    bool Ran(const QString& name) {
        return testing::WaitUntil([&] { return QFile::exists(Marker(name)); }, 10000);
    }
    QStringList Arguments(const QString& name) {
        QFile file(Marker(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void SetPath(const char* value, const std::string& path) {
        profile.WriteText(prefs::kInternetSection, value, path);
    }
};

TEST_F(LauncherTest, StartupLaunchesStartOnlyTheProgramsSetToOne) {
    SetPath(prefs::kMailProgFilePath, Script(QStringLiteral("mail")));
    SetPath(prefs::kFtpFilePath, Script(QStringLiteral("ftp")));
    SetPath(prefs::kTelnetFilePath, Script(QStringLiteral("telnet")));
    SetPath(prefs::kNewsProgFilePath, Script(QStringLiteral("news")));
    SetPath(prefs::kNetscapeFilePath, Script(QStringLiteral("netscape")));
    profile.WriteInt(prefs::kInternetSection, prefs::kChooseWebBrowser, 0);
    commands.SetPaths(LoadApplicationPaths(profile));
    profile.WriteInt(prefs::kStartUpSection, prefs::kStartMailProgram, 1);
    profile.WriteInt(prefs::kStartUpSection, prefs::kLaunchWebBrowser, 1);
    profile.WriteInt(prefs::kStartUpSection, prefs::kLaunchFtp, 2);
    profile.WriteInt(prefs::kStartUpSection, prefs::kLaunchTelNet, 0);
    profile.WriteInt(prefs::kStartUpSection, prefs::kLaunchNewsReader, 1);

    commands.RunStartupLaunches();
    EXPECT_TRUE(Ran(QStringLiteral("mail")));
    EXPECT_TRUE(Ran(QStringLiteral("netscape")));
    EXPECT_TRUE(Ran(QStringLiteral("news")));
    // Helper programs get no arguments.
    EXPECT_TRUE(Arguments(QStringLiteral("mail")).isEmpty());
    // Those that ran have had every chance to be joined by the others by now: the
    // launches are started one after the other within the one call.
    EXPECT_FALSE(QFile::exists(Marker(QStringLiteral("ftp"))));
    EXPECT_FALSE(QFile::exists(Marker(QStringLiteral("telnet"))));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LauncherTest, NetscapeCommandLineCarriesItsArguments) {
    const std::string program = Script(QStringLiteral("navigator"));
    profile.WriteInt(prefs::kInternetSection, prefs::kChooseWebBrowser, 0);
    SetPath(prefs::kNetscapeFilePath, "\"" + program + "\" --new-window \"two words\"");
    commands.SetPaths(LoadApplicationPaths(profile));
    commands.LaunchWebBrowser();
    ASSERT_TRUE(Ran(QStringLiteral("navigator")));
    EXPECT_EQ(Arguments(QStringLiteral("navigator")),
              (QStringList{QStringLiteral("--new-window"), QStringLiteral("two words")}));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(browser.starts, 0);
}

TEST_F(LauncherTest, ProgramsThatCannotStart) {
    profile.WriteInt(prefs::kInternetSection, prefs::kChooseWebBrowser, 0);
    SetPath(prefs::kNetscapeFilePath, dir.filePath(QStringLiteral("missing")).toStdString());
    SetPath(prefs::kMailProgFilePath, dir.filePath(QStringLiteral("missing")).toStdString());
    SetPath(prefs::kHelpProgFilePath, dir.filePath(QStringLiteral("missing")).toStdString());
    commands.SetPaths(LoadApplicationPaths(profile));
    commands.LaunchEmail();       // nothing shown
    commands.LaunchHelpReader();  // a path that does not exist: nothing shown either
    EXPECT_TRUE(ui.shown.empty());
    commands.LaunchWebBrowser();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kMsgCouldNotStartNetscape});

    // The automation browser cannot start either: its own message.
    profile.WriteInt(prefs::kInternetSection, prefs::kChooseWebBrowser, 1);
    commands.LaunchWebBrowser();
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{kMsgCouldNotStartNetscape, kMsgCouldNotStartExplorer}));
    EXPECT_EQ(browser.starts, 1);
}

}  // namespace
}  // namespace tessaline
