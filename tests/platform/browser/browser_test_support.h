#pragma once
// Finding and cleaning up the headless Chromium the browser tests run.

#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/browser/browser_commands.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "gui/browser/explorer_automation.h"
#include "gui/browser/qt_process_launcher.h"
#include "platform/devtools/devtools_client.h"
#include "support/scripted_answers.h"
#include "test_web_server.h"

namespace tessaline::testing {

// The chromium to test against: $TESSALINE_CHROMIUM, /usr/bin/chromium, or the first
// browser of the automation role on PATH. Empty when there is none.
inline QString FindChromium() {
    const QString fromEnvironment = qEnvironmentVariable("TESSALINE_CHROMIUM");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (QFile::exists(QStringLiteral("/usr/bin/chromium")))
        return QStringLiteral("/usr/bin/chromium");
    return QString::fromStdString(
        FindProgramOnPath(kExplorerProgramNames, qEnvironmentVariable("PATH").toStdString()));
}

// A script in `folder` that runs chromium headless with the test's switches and whatever
// arguments it is given: the browser program the tests hand to the code under test.
inline QString WriteHeadlessLauncher(const QString& folder, const QString& chromium) {
    const QString path = QDir(folder).filePath(QStringLiteral("headless-chromium"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\nexec '" + chromium.toUtf8() +
               "' --headless=new --no-sandbox --disable-gpu --disable-background-networking"
               " --no-first-run \"$@\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Waits, with the event loop running, until `done` or the limit.
inline bool WaitUntil(const std::function<bool()>& done, int limitMs = 20000) {
    const QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Ends every process that runs on that profile folder (the browsers this test started).
inline void KillBrowsersOn(const QString& profileFolder) {
    const QByteArray marker = "--user-data-dir=" + profileFolder.toUtf8();
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        bool numeric = false;
        const int value = pid.toInt(&numeric);
        if (!numeric)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        if (cmdline.readAll().split('\0').contains(marker))
            ::kill(value, SIGKILL);
    }
}

// Removes a profile folder once its browser is gone, read-only files included.
// Closes the browser on profileFolder, then hands every file the browser left there to
// look (its path and bytes). Returns how many files were read.
inline int LookThroughClosedProfile(
    const QString& profileFolder,
    const std::function<void(const QString& path, const QByteArray& content)>& look) {
    EXPECT_TRUE(devtools::DevToolsClient(profileFolder).CloseBrowser());
    KillBrowsersOn(profileFolder);
    QDirIterator files(profileFolder, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    int looked = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++looked;
        look(file.fileName(), file.readAll());
    }
    return looked;
}

inline void RemoveProfileFolder(const QString& profileFolder) {
    const QByteArray marker = "--user-data-dir=" + profileFolder.toUtf8();
    WaitUntil([&] {
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
            if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().split('\0').contains(marker))
                return false;
        }
        return true;
    });
    QDirIterator it(profileFolder,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile::setPermissions(path,
                              QFile::permissions(path) | QFile::WriteOwner | QFile::ReadOwner |
                                  (it.fileInfo().isDir() ? QFile::ExeOwner : QFile::Permissions()));
    }
    QDir(profileFolder).removeRecursively();
}

// The DDE route is the DDE tests' business; here it only records what reached it.
class RecordingDde : public IDdeBrowser {
public:
    std::vector<std::string> opened;
    int infoRequests = 0;
    void OpenURL(const std::string& address, bool) override { opened.push_back(address); }
    void GetWindowInfo(std::string& address, std::string& title) override {
        ++infoRequests;
        address.clear();
        title.clear();
    }
};

// Everything the commands need, around one profile folder.
struct BrowserRig {
    QTemporaryDir dir;
    QString profileFolder = dir.filePath(QStringLiteral("profile"));
    MemoryProfile profile;
    ScriptedAnswers ui;
    QtProcessLauncher launcher;
    RecordingDde dde;
    CExplorerAutomation automation{profile, profileFolder, dde};
    BrowserCommands commands{profile, ui, launcher, automation, dde};

    explicit BrowserRig(const QString& browserProgram) {
        profile.WriteText(prefs::kInternetSection, prefs::kExplorerFilePath,
                          browserProgram.toStdString());
        // Generous, for a loaded machine: a wait only lasts this long when something is wrong.
        automation.SetTimeout(30000);
        automation.SetStartTimeout(30000);
    }
    ~BrowserRig() {
        devtools::DevToolsClient(profileFolder, 5000).CloseBrowser();
        KillBrowsersOn(profileFolder);
        RemoveProfileFolder(profileFolder);
    }
};

// The start of every test against the real browser: the suite looks for chromium once
// and writes the headless launcher; each test skips, with the reason, where there is no
// chromium. Tests use Launcher() as the browser program of their rig.
class ChromiumTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        chromium_ = FindChromium();
        if (chromium_.isEmpty())
            return;
        launcherDir_ = std::make_unique<QTemporaryDir>();
        launcher_ = WriteHeadlessLauncher(launcherDir_->path(), chromium_);
    }
    static void TearDownTestSuite() { launcherDir_.reset(); }

    void SetUp() override {
        if (chromium_.isEmpty())
            GTEST_SKIP() << "chromium was not found (/usr/bin/chromium, PATH or "
                            "$TESSALINE_CHROMIUM); install the Debian package 'chromium'";
    }

    static const QString& Launcher() { return launcher_; }

private:
    static inline QString chromium_;
    static inline QString launcher_;
    static inline std::unique_ptr<QTemporaryDir> launcherDir_;
};

// A test that drives the real browser through a rig, with a local web server for its
// pages. A fixture that adds to SetUp calls this one first and stops where it stopped:
//   if (!StartedServerAndRig()) return;
class ChromiumRigTest : public ChromiumTest {
protected:
    void SetUp() override {
        ChromiumTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(server.Start());
        rig = std::make_unique<BrowserRig>(Launcher());
    }
    void TearDown() override { rig.reset(); }

    // Whether SetUp got as far as the rig (no skip, no failure).
    bool StartedServerAndRig() const { return rig != nullptr; }

    TestWebServer server;
    std::unique_ptr<BrowserRig> rig;
};

}  // namespace tessaline::testing
