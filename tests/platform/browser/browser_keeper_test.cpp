// The automation browser's private pipe and its keeper, against a real headless Chromium:
// nothing listens on the network, only our own user is served, and the browser outlives
// the Tessaline that started it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "browser_test_support.h"
#include "test_web_server.h"

namespace tessaline {
namespace {

using testing::BrowserRig;

// The processes whose command line holds `marker`, with their command lines.
std::vector<std::pair<pid_t, QList<QByteArray>>> ProcessesWith(const QByteArray& marker) {
    std::vector<std::pair<pid_t, QList<QByteArray>>> found;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const int value = pid.toInt(&numeric);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!numeric || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = cmdline.readAll().split('\0');
        if (arguments.contains(marker))
            found.emplace_back(value, arguments);
    }
    return found;
}

bool IsKeeper(const QList<QByteArray>& arguments) {
    return arguments.value(0).endsWith("tessaline-browser-keeper");
}

// The keeper's pid and its browser's (the process without a --type= of its own).
std::pair<pid_t, pid_t> KeeperAndBrowser(const QByteArray& marker) {
    std::pair<pid_t, pid_t> found{0, 0};
    for (const auto& [pid, arguments] : ProcessesWith(marker)) {
        if (IsKeeper(arguments))
            found.first = pid;
        else if (std::none_of(arguments.begin(), arguments.end(),
                              [](const QByteArray& a) { return a.startsWith("--type="); }))
            found.second = pid;
    }
    return found;
}

// Runs a program to its end; its exit status and output.
std::pair<int, QString> RunToEnd(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return {-1, {}};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed()};
}

class BrowserKeeperTest : public testing::ChromiumRigTest {
protected:
    void SetUp() override {
        // A socket folder of this test's own, so that it can be opened to another user.
        socketFolder = socketDir.filePath(QStringLiteral("dde"));
        qputenv("TESSALINE_DDE_FOLDER", QFile::encodeName(socketFolder));
        ChromiumRigTest::SetUp();
        if (!StartedServerAndRig())
            return;
        marker = "--user-data-dir=" + QFile::encodeName(rig->profileFolder);
    }
    void TearDown() override {
        ChromiumRigTest::TearDown();
        qunsetenv("TESSALINE_DDE_FOLDER");
    }

    std::string Page(const QString& name) { return server.Url("/page/" + name).toStdString(); }
    bool ShowsPage(CExplorerAutomation& automation, const std::string& url,
                   const std::string& title) {
        return testing::WaitUntil([&] {
            std::string u, t;
            return automation.GetRunningExplorerURL(u) && automation.GetRunningExplorerTitle(t) &&
                   u == url && t == title;
        });
    }
    QString SocketPath() const { return devtools::DevToolsClient(rig->profileFolder).SocketPath(); }

    QTemporaryDir socketDir;
    QString socketFolder;
    QByteArray marker;
};

// While our browser runs, none of its processes listens on TCP, it was not asked to,
// and a port file planted in its profile folder (pointing at a listener of someone
// else) is never used.
TEST_F(BrowserKeeperTest, NothingListensAndAPortFileIsIgnored) {
    ASSERT_TRUE(devtools::MakePrivateFolder(rig->profileFolder));
    QTcpServer forged;
    ASSERT_TRUE(forged.listen(QHostAddress::LocalHost, 0));
    int forgedConnections = 0;
    QObject::connect(&forged, &QTcpServer::newConnection, [&] { ++forgedConnections; });
    QFile portFile(rig->profileFolder + QStringLiteral("/DevToolsActivePort"));
    ASSERT_TRUE(portFile.open(QIODevice::WriteOnly));
    portFile.write(QByteArray::number(forged.serverPort()) + "\n/devtools/browser/forged");
    portFile.close();

    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Piped"), false));
    EXPECT_TRUE(ShowsPage(rig->automation, Page("Piped"), "Piped"));
    EXPECT_EQ(forgedConnections, 0);

    const auto processes = ProcessesWith(marker);
    ASSERT_GE(processes.size(), 2u) << "the keeper and its browser";
    const QString ss = QStandardPaths::findExecutable(QStringLiteral("ss"));
    ASSERT_FALSE(ss.isEmpty()) << "ss (Debian package iproute2) is needed";
    const auto [status, listening] = RunToEnd(ss, {QStringLiteral("-ltnpH")});
    ASSERT_EQ(status, 0);
    for (const auto& [pid, arguments] : processes) {
        EXPECT_FALSE(listening.contains(QStringLiteral("pid=%1,").arg(pid)))
            << "process " << pid << " listens:\n"
            << listening.toStdString();
        for (const QByteArray& argument : arguments)
            EXPECT_FALSE(argument.startsWith("--remote-debugging-port")) << argument.data();
    }
    bool piped = false;
    for (const auto& [pid, arguments] : processes)
        piped = piped || (!IsKeeper(arguments) && arguments.contains("--remote-debugging-pipe"));
    EXPECT_TRUE(piped);
}

// Only processes of our own user are served: even with the folder and socket opened to
// everyone, another user's client is closed without a reply.
TEST_F(BrowserKeeperTest, AnotherUsersClientIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to run a client as user 65534 with setpriv";
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    ASSERT_FALSE(setpriv.isEmpty()) << "setpriv (Debian package util-linux) is needed";
    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    const QString socket = SocketPath();
    ASSERT_TRUE(QFile::exists(socket));

    // The probe in a place user 65534 can reach.
    const QString probe = socketDir.filePath(QStringLiteral("devtools_probe"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(DEVTOOLS_PROBE_PROGRAM), probe));
    ASSERT_EQ(::chmod(QFile::encodeName(probe).constData(), 0755), 0);
    for (const QString& path : {socketDir.path(), socketFolder})
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0711), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(socket).constData(), 0666), 0);

    const auto [otherStatus, otherOutput] =
        RunToEnd(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), probe, socket});
    EXPECT_EQ(otherStatus, 3) << otherOutput.toStdString();
    EXPECT_EQ(otherOutput, QStringLiteral("closed"));

    // The same probe as our own user is answered, and the browser still serves us.
    const auto [ownStatus, ownOutput] = RunToEnd(probe, {socket});
    EXPECT_EQ(ownStatus, 0) << ownOutput.toStdString();
    EXPECT_TRUE(ownOutput.contains(QStringLiteral("\"product\""))) << ownOutput.toStdString();
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Still Mine"), false));
    EXPECT_TRUE(
        ShowsPage(rig->automation, server.Url("/page/Still%20Mine").toStdString(), "Still Mine"));
}

// The keeper runs in a session of its own and is not our child; a client that dies in
// the middle of a command (as a crashing Tessaline would) or leaves without a word does
// not take the browser with it: the next client finds the same browser and its page.
TEST_F(BrowserKeeperTest, TheNextClientReconnectsToTheSameBrowser) {
    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    ASSERT_TRUE(rig->automation.NavigateRunningExplorer(Page("Kept"), false));
    ASSERT_TRUE(ShowsPage(rig->automation, Page("Kept"), "Kept"));
    const auto before = KeeperAndBrowser(marker);
    const pid_t keeper = before.first;
    ASSERT_NE(keeper, 0);
    ASSERT_NE(before.second, 0);
    EXPECT_NE(::getsid(keeper), ::getsid(0));
    QFile status(QStringLiteral("/proc/%1/status").arg(keeper));
    ASSERT_TRUE(status.open(QIODevice::ReadOnly));
    EXPECT_FALSE(status.readAll().contains("\nPPid:\t" + QByteArray::number(::getpid()) + "\n"));

    // A client killed while it held the connection with half a command sent.
    QProcess holder;
    holder.start(QStringLiteral(DEVTOOLS_PROBE_PROGRAM), {SocketPath(), QStringLiteral("--hold")});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAllStandardOutput().trimmed(), QByteArray("holding"));
    ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
    holder.waitForFinished(5000);

    // A client that attached to the page and left without detaching or waiting.
    {
        devtools::DevToolsClient client(rig->profileFolder, 5000);
        const auto page = client.LastActivePage();
        ASSERT_TRUE(page);
        ASSERT_TRUE(client.Attach(page->id));
        QLocalSocket raw;
        raw.connectToServer(SocketPath());
    }

    // A new Tessaline: a fresh automation object reads the same page from the same browser.
    CExplorerAutomation again(rig->profile, rig->profileFolder, rig->dde);
    EXPECT_TRUE(ShowsPage(again, Page("Kept"), "Kept"));
    ASSERT_TRUE(again.NavigateRunningExplorer(Page("Again"), false));
    EXPECT_TRUE(ShowsPage(again, Page("Again"), "Again"));
    EXPECT_EQ(KeeperAndBrowser(marker), before);
}

// The keeper ends with its browser, and takes its socket with it.
TEST_F(BrowserKeeperTest, TheKeeperEndsWithItsBrowser) {
    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    const QString socket = SocketPath();
    ASSERT_TRUE(QFile::exists(socket));
    EXPECT_TRUE(devtools::DevToolsClient(rig->profileFolder, 5000).CloseBrowser());
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessesWith(marker).empty(); }, 15000));
    EXPECT_FALSE(QFile::exists(socket));
    std::string url = "unchanged";
    EXPECT_FALSE(rig->automation.GetRunningExplorerURL(url));
    EXPECT_EQ(url, "unchanged");

    // Ended by a signal (the user's session ending), the keeper still takes its socket
    // away, and the browser quits as its pipe closes.
    ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    const pid_t keeper = KeeperAndBrowser(marker).first;
    ASSERT_NE(keeper, 0);
    ::kill(keeper, SIGTERM);
    EXPECT_TRUE(testing::WaitUntil([&] { return ProcessesWith(marker).empty(); }, 15000));
    EXPECT_FALSE(QFile::exists(socket));
}

}  // namespace
}  // namespace tessaline
