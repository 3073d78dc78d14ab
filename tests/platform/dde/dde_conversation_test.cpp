// Tessaline's DDE names and conversations against a real peer process playing the
// browser's service "IExplore".

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <memory>

#include "gui/browser/browser_integration.h"
#include "gui/browser/dde_browser_link.h"
#include "gui/browser/dde_object.h"
#include "platform/dde/dde_wire.h"
#include "platform/dde/ddeml.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

using namespace tessaline::dde;
using Lines = std::vector<std::string>;

bool WaitUntil(const std::function<bool()>& done, int limitMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

class DdeTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logPath = dir.filePath(QStringLiteral("peer.log"));
    std::unique_ptr<QProcess> peer;

    QByteArray savedTmpdir = qgetenv("TMPDIR");
    bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A socket folder of the test's own, so no other DDE program can answer.
        qputenv("TESSALINE_DDE_FOLDER", dir.filePath(QStringLiteral("dde")).toUtf8());
        qputenv("TMPDIR", dir.path().toUtf8());
        ASSERT_TRUE(InitializeDde());
        SetDdeRequestTimeout(kDdeRequestTimeoutMs);
    }
    void TearDown() override {
        UninitializeDde();
        if (hadTmpdir)
            qputenv("TMPDIR", savedTmpdir);
        else
            qunsetenv("TMPDIR");
        if (peer) {
            peer->kill();
            peer->waitForFinished(5000);
        }
    }

    // Starts the peer and waits until its service is registered.
    void StartPeer(const QStringList& extra = {}) {
        const QString ready = dir.filePath(QStringLiteral("ready"));
        QFile::remove(ready);
        peer = std::make_unique<QProcess>();
        peer->setProcessChannelMode(QProcess::ForwardedChannels);
        peer->start(
            QStringLiteral(DDE_PEER_PROGRAM),
            QStringList{QStringLiteral("--log"), logPath, QStringLiteral("--ready"), ready} +
                extra);
        ASSERT_TRUE(WaitUntil([&] { return QFile::exists(ready); }))
            << "the DDE peer did not start";
    }

    // Runs the peer to its end (its --ask mode), serving its transactions meanwhile.
    void RunPeerToEnd(const QStringList& arguments) {
        peer = std::make_unique<QProcess>();
        peer->setProcessChannelMode(QProcess::ForwardedChannels);
        peer->start(QStringLiteral(DDE_PEER_PROGRAM),
                    QStringList{QStringLiteral("--log"), logPath} + arguments);
        ASSERT_TRUE(WaitUntil([&] { return peer->state() == QProcess::NotRunning; }, 60000));
        ASSERT_EQ(peer->exitCode(), 0);
    }

    Lines PeerLog() {
        QFile file(logPath);
        Lines lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                lines.push_back(line.toStdString());
        return lines;
    }
};

TEST_F(DdeTest, OpenUrlSendsTheItemTextAndTakesProgressReports) {
    StartPeer({QStringLiteral("--progress")});
    CDDEObject object("IExplore");
    ASSERT_TRUE(object.Registered());
    const std::string name = object.Name();

    object.OpenURL("http://a.example/say \"hi\"", false);
    object.OpenURL("http://a.example/new", true);
    EXPECT_EQ(object.ConversationCount(), 0u);  // each ended after its request

    ASSERT_TRUE(WaitUntil([&] { return PeerLog().size() >= 10; }))
        << ::testing::PrintToString(PeerLog());
    const Lines log = PeerLog();
    EXPECT_EQ(log[0], "connect WWW_OpenURL");
    EXPECT_EQ(log[1],
              "request WWW_OpenURL \"http://a.example/say \\\"hi\\\"\",,4294967295,0,,," + name);
    // While Tessaline waits for the reply, the browser reports progress to its name.
    EXPECT_EQ(log[2].rfind("request WWW_BeginProgress 4294967295,\"Loading\" -> ", 0), 0u)
        << log[2];
    EXPECT_EQ(log[2].size(),
              std::string("request WWW_BeginProgress 4294967295,\"Loading\" -> ").size() + 8);
    EXPECT_EQ(log[3], "poke WWW_EndProgress 1 -> ack");
    EXPECT_EQ(log[4], "disconnect");
    EXPECT_EQ(log[5], "connect WWW_OpenURL");
    EXPECT_EQ(log[6], "request WWW_OpenURL \"http://a.example/new\",,0,0,,," + name);
    EXPECT_EQ(log[9], "disconnect");
}

TEST_F(DdeTest, GetWindowInfoReadsAddressAndTitle) {
    StartPeer({QStringLiteral("--address"), QStringLiteral("http://a.example/?q=\"x\""),
               QStringLiteral("--title"), QStringLiteral("A, page")});
    DdeBrowserLink link;
    std::string address = "old", title = "old";
    link.GetWindowInfo(address, title);
    EXPECT_EQ(address, "http://a.example/?q=\"x\"");
    EXPECT_EQ(title, "A, page");
    ASSERT_TRUE(WaitUntil([&] { return PeerLog().size() >= 3; }));
    EXPECT_EQ(PeerLog(), (Lines{"connect WWW_GetWindowInfo", "request WWW_GetWindowInfo 4294967295",
                                "disconnect"}));
}

TEST_F(DdeTest, GetWindowInfoReplyOver255CharactersGivesEmptyTexts) {
    StartPeer({QStringLiteral("--address"),
               QStringLiteral("http://a.example/") + QString(240, QLatin1Char('p')),
               QStringLiteral("--title"), QStringLiteral("Title")});
    CDDEObject object("IExplore");
    std::string address = "old", title = "old";
    object.GetWindowInfo(kLastActiveWindow, address, title);
    EXPECT_EQ(address, "");
    EXPECT_EQ(title, "");
}

TEST_F(DdeTest, AnItemOver255CharactersIsNeverSent) {
    StartPeer();
    CDDEObject object("IExplore");
    object.OpenURL("http://a.example/" + std::string(250, 'x'), false);
    EXPECT_EQ(object.ConversationCount(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return PeerLog().size() >= 2; }));
    EXPECT_EQ(PeerLog(), (Lines{"connect WWW_OpenURL", "disconnect"}));
}

TEST_F(DdeTest, NoServiceLeavesEverythingEmpty) {
    DdeBrowserLink link;
    link.OpenURL("http://a.example/", false);
    std::string address = "old", title = "old";
    link.GetWindowInfo(address, title);
    EXPECT_EQ(address, "");
    EXPECT_EQ(title, "");
    for (CDDEObject* object : AllDdeObjects())
        EXPECT_EQ(object->ConversationCount(), 0u);
}

TEST_F(DdeTest, PeerThatNeverAnswersTimesOut) {
    StartPeer({QStringLiteral("--on-request"), QStringLiteral("silent"),
               QStringLiteral("--address"), QStringLiteral("http://a.example/")});
    SetDdeRequestTimeout(300);
    CDDEObject object("IExplore");
    std::string address = "old", title = "old";
    object.GetWindowInfo(kLastActiveWindow, address, title);
    EXPECT_EQ(address, "");
    EXPECT_EQ(title, "");
    EXPECT_EQ(object.ConversationCount(), 0u);
    // The request did reach the peer; it just never answered.
    ASSERT_TRUE(WaitUntil([&] { return PeerLog().size() >= 2; }));
    EXPECT_EQ(PeerLog(),
              (Lines{"connect WWW_GetWindowInfo", "request WWW_GetWindowInfo 4294967295"}));
}

TEST_F(DdeTest, PeerThatHangsUpMidRequestIsHandled) {
    StartPeer({QStringLiteral("--on-request"), QStringLiteral("hangup")});
    CDDEObject object("IExplore");
    std::string address = "old", title = "old";
    object.GetWindowInfo(kLastActiveWindow, address, title);
    EXPECT_EQ(address, "");
    EXPECT_EQ(title, "");
    EXPECT_EQ(object.ConversationCount(), 0u);
    EXPECT_EQ(PeerLog(),
              (Lines{"connect WWW_GetWindowInfo", "request WWW_GetWindowInfo 4294967295"}));
    // Nobody serves the name any more: the next request finds no partner.
    object.OpenURL("http://a.example/", false);
    EXPECT_EQ(object.ConversationCount(), 0u);
}

TEST_F(DdeTest, AnswersToTheBrowsersRequestsAndPokes) {
    CDDEObject object("IExplore");
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    RunPeerToEnd({QStringLiteral("--ask"), QString::fromStdString(object.Name())});
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));

    const Lines log = PeerLog();
    ASSERT_EQ(log.size(), 16u) << ::testing::PrintToString(log);
    auto answer = [&](std::size_t i) { return log[i].substr(log[i].find(" -> ") + 4); };
    auto seconds = [&](std::size_t i) {
        const std::string hex = answer(i);
        EXPECT_EQ(hex.size(), 8u) << log[i];
        std::uint32_t value = 0;
        for (int b = 3; b >= 0; --b)
            value = (value << 8) |
                    static_cast<std::uint32_t>(std::stoul(hex.substr(2 * b, 2), nullptr, 16));
        return value;
    };
    EXPECT_EQ(answer(0), "00000000");  // WWW_Alert: DW 0
    EXPECT_GE(seconds(1), before);     // WWW_BeginProgress: the time as transaction id
    EXPECT_LE(seconds(1), after);
    EXPECT_EQ(answer(2), "0000");   // WWW_MakingProgress: BL FALSE, do not cancel
    EXPECT_GE(seconds(3), before);  // WWW_OpenURL
    EXPECT_LE(seconds(3), after);
    // WWW_QueryViewer: a fresh file in the temporary folder, as quoted text.
    const std::string hex = answer(4);
    std::string viewer;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        viewer += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    ASSERT_GE(viewer.size(), 3u);
    EXPECT_EQ(viewer.back(), '\0');
    const std::string file = viewer.substr(1, viewer.size() - 3);
    EXPECT_EQ(viewer.front(), '"');
    EXPECT_EQ(file.rfind(dir.filePath(QStringLiteral("nstest")).toStdString(), 0), 0u) << file;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(file)));

    EXPECT_EQ(answer(5), "none");  // WWW_GetWindowInfo is not answered
    EXPECT_EQ(answer(6), "none");  // WWW_Version
    EXPECT_EQ(answer(7), "none");  // a topic not in the table
    for (std::size_t i = 8; i <= 12; ++i)
        EXPECT_EQ(answer(i), "ack") << log[i];
    EXPECT_EQ(answer(13), "nack");  // WWW_Alert is no poke
    EXPECT_EQ(answer(14), "nack");
    EXPECT_EQ(answer(15), "refused") << "a name that is not one of ours";
    EXPECT_EQ(object.ConversationCount(), 0u);  // every conversation the peer ended is gone
}

// Whatever reaches one of our names over its socket, a partner that breaks the rules is
// let go and the name keeps answering others.
TEST_F(DdeTest, GarbageOnTheSocketIsLetGo) {
    CDDEObject object("IExplore");
    const QDir folder(QString::fromStdString(DdeSocketFolder()));
    const QStringList sockets = folder.entryList(QDir::System);
    ASSERT_EQ(sockets.size(), 1);
    const QByteArray garbage[] = {
        QByteArray("\xff\xff\xff\xff", 4),              // a frame far too large
        QByteArray("\x00\x00\x00\x05\x09garbage", 12),  // an unknown kind
        QByteArray("\x00\x00\x00\x03\x03\x00\x00", 7),  // a frame cut short
        // A well-formed request before any connection was agreed.
        wire::Encode(wire::Frame{wire::Kind::Request, 1, CF_TEXT, 0, {}, "4294967295", {}}),
    };
    for (const QByteArray& bytes : garbage) {
        QLocalSocket socket;
        socket.connectToServer(folder.filePath(sockets[0]));
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        socket.flush();
        EXPECT_TRUE(WaitUntil([&] { return socket.state() == QLocalSocket::UnconnectedState; }))
            << bytes.toHex().toStdString();
    }
    EXPECT_EQ(object.ConversationCount(), 0u);
    RunPeerToEnd({QStringLiteral("--ask"), QString::fromStdString(object.Name())});
    ASSERT_FALSE(PeerLog().empty());
    EXPECT_EQ(PeerLog()[0], "request WWW_Alert \"Page not found\",1,0 -> 00000000");
}

TEST_F(DdeTest, NamesAreNumberedAndTheTopicTableIsMadeOnce) {
    auto first = std::make_unique<CDDEObject>("IExplore");
    const std::string name = first->Name();
    ASSERT_EQ(name.rfind("Tessaline", 0), 0u);
    const unsigned number = static_cast<unsigned>(std::stoul(name.substr(9)));
    const auto table = DDE_TopicTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_TRUE(table[i]) << i;
        EXPECT_EQ(TopicIndexOf(table[i]), static_cast<int>(i));
    }
    EXPECT_EQ(TopicIndexOf(first->NameHandle()), -1);

    auto second = std::make_unique<CDDEObject>("IExplore");
    EXPECT_EQ(second->Name(), "Tessaline" + std::to_string(number + 1));
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(DDE_TopicTable()[i], table[i]);
    first.reset();
    auto third = std::make_unique<CDDEObject>("IExplore");
    EXPECT_EQ(third->Name(), "Tessaline" + std::to_string(number + 2));
    second.reset();
    third.reset();
    for (HSZ topic : DDE_TopicTable())
        EXPECT_FALSE(topic);
}

TEST_F(DdeTest, TransportLimitsAndPrivateFolder) {
    const DWORD instance = DdeInstanceId();
    EXPECT_TRUE(DdeCreateStringHandle(instance, std::string(255, 'a'), CP_WINANSI));
    EXPECT_FALSE(DdeCreateStringHandle(instance, std::string(256, 'a'), CP_WINANSI));
    EXPECT_EQ(DdeGetLastError(instance), DMLERR_INVALIDPARAMETER);
    // Same text, any case: the same handle.
    EXPECT_EQ(DdeCreateStringHandle(instance, "WWW_OpenURL", CP_WINANSI),
              DdeCreateStringHandle(instance, "www_openurl", CP_WINANSI));

    CDDEObject object("IExplore");
    struct stat st {};
    const std::string folder = DdeSocketFolder();
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const QStringList sockets = QDir(QString::fromStdString(folder)).entryList(QDir::System);
    ASSERT_FALSE(sockets.isEmpty());
    for (const QString& s : sockets) {
        ASSERT_EQ(lstat((folder + "/" + s.toStdString()).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0077, 0u) << s.toStdString();
    }

    // A folder others can open is narrowed before use.
    UninitializeDde();
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_TRUE(InitializeDde());
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A link in its place is refused: DDE cannot start, and start-up says so.
    UninitializeDde();
    QDir(QString::fromStdString(folder)).removeRecursively();
    ASSERT_EQ(symlink(dir.path().toUtf8().constData(), folder.c_str()), 0);
    testing::ScriptedAnswers ui;
    EXPECT_FALSE(StartDde(ui));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kMsgDdeInitFailed});
    EXPECT_EQ(DdeInstanceId(), 0u);
}

}  // namespace
}  // namespace tessaline
