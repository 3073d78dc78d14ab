// Start-up of the desktop program with the real main window: the order of the steps, the
// command line (named files open, --no-splash), "Check Open Files", the
// first-start browser detection, and the handheld set-up with its questions.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/app/recent_files.h"
#include "core/platform/handheld_users.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_startup.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "support/qt_data_files.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::IsEncryptedFile;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WriteDataFile;

namespace {

constexpr const char* kCreateQuestion =
    "Do you want to create a password file to be synchronized with your Palm device?";

// A handheld user whose folder is <home>/.jpilot, when that folder exists.
JPilotHandheldUsers UsersIn(const QString& home) {
    const std::string h = home.toStdString();
    return JPilotHandheldUsers(
        [h](const char* name) { return std::string(name) == "JPILOT_HOME" ? h : std::string(); },
        "tester");
}

}  // namespace

class FrameStartupTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString noHandheld_;  // a home without a .jpilot folder

    QString PlainFile(const QString& name) {
        const QString path = dir_.filePath(name);
        return WriteDataFile(path, {{.code = kWwwSites, .name = "card"}}) ? path : QString();
    }

private slots:
    void initTestCase() {
        noHandheld_ = dir_.filePath(QStringLiteral("nohandheld"));
        QVERIFY(QDir().mkpath(noHandheld_));
    }

    void stepsRunInOrderAroundTheFrame() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        JPilotHandheldUsers users = UsersIn(noHandheld_);
        CFrameStartup startup(ui, profile, users);
        QStringList order;
        auto& hooks = startup.StartupHooks();
        hooks.initializeDde = [&] {
            order << QStringLiteral("dde");
            return startup.Frame() == nullptr;
        };
        hooks.loadApplicationPaths = [&](CMainFrame& f) {
            order << (f.isVisible() ? QStringLiteral("paths, window shown")
                                    : QStringLiteral("paths, window hidden"));
        };
        hooks.detectWebBrowsers = [&](CMainFrame&) {
            order << QStringLiteral("browsers");
            return true;
        };
        hooks.runStartupLaunches = [&](CMainFrame&) { order << QStringLiteral("launches"); };
        hooks.showSplash = [&](CMainFrame&) { order << QStringLiteral("splash"); };
        QVERIFY(RunStartup(ParseCommandLine({"tessaline"}), startup, profile));
        QCOMPARE(order,
                 (QStringList{"dde", "paths, window shown", "browsers", "launches", "splash"}));
        QCOMPARE(profile.GetInt(prefs::kGeneralSection, prefs::kBrowsersDetected, 0), 1);

        // The next start looks for browsers no more.
        order.clear();
        CFrameStartup again(ui, profile, users);
        again.StartupHooks() = hooks;
        again.StartupHooks().initializeDde = {};
        QVERIFY(RunStartup(ParseCommandLine({"tessaline"}), again, profile));
        QCOMPARE(order, (QStringList{"paths, window shown", "launches", "splash"}));
        QVERIFY(ui.Texts().empty());
    }

    void failedDdeEndsStartupBeforeTheWindow() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        JPilotHandheldUsers users = UsersIn(noHandheld_);
        CFrameStartup startup(ui, profile, users);
        startup.StartupHooks().initializeDde = [] { return false; };
        QVERIFY(!RunStartup(ParseCommandLine({"tessaline"}), startup, profile));
        QVERIFY(startup.Frame() == nullptr);
    }

    void commandLine() {
        const QString named = PlainFile(QStringLiteral("named.tsf"));
        const StartupOptions plain = ParseCommandLine({"tessaline", named.toStdString()});
        QCOMPARE(plain.files, std::vector<std::string>{named.toStdString()});
        QVERIFY(plain.showSplash);
        const StartupOptions quiet = ParseCommandLine({"tessaline", "--no-splash"});
        QVERIFY(!quiet.showSplash);
        QVERIFY(ParseCommandLine({"tessaline", "--help"}).showHelp);
        QVERIFY(ParseCommandLine({"tessaline", "-h"}).showHelp);
        QCOMPARE(ParseCommandLine({"tessaline", "--frobnicate"}).unknownOptions,
                 std::vector<std::string>{"--frobnicate"});
        const std::string help = CommandLineHelp("tessaline");
        QVERIFY(help.find("--no-splash") != std::string::npos);
        QVERIFY(help.find("--help") != std::string::npos);

        for (bool splash : {true, false}) {
            ScriptedAnswers ui;
            MemoryProfile profile;
            JPilotHandheldUsers users = UsersIn(noHandheld_);
            CFrameStartup startup(ui, profile, users);
            int splashes = 0;
            startup.StartupHooks().showSplash = [&](CMainFrame&) { ++splashes; };
            const StartupOptions options = splash ? plain : quiet;
            QVERIFY(RunStartup(options, startup, profile));
            // The file named on the command line is open.
            QCOMPARE(startup.Frame()->Children().size(), splash ? 1 : 0);
            if (splash)
                QCOMPARE(startup.Frame()->ActiveDocument()->PathName(), named);
            QCOMPARE(SplashEnabled(), splash);
            QCOMPARE(splashes, splash ? 1 : 0);
        }
        EnableSplash(true);
    }

    void checkOpenFilesOpensTheMostRecentFile() {
        const QString newest = PlainFile(QStringLiteral("newest.tsf"));
        const QString older = PlainFile(QStringLiteral("older.tsf"));
        const struct {
            int check;
            bool newestExists;
            QString expected;
        } cases[] = {
            {1, true, newest},
            {0, true, QString()},
            {1, false, QString()},  // the newest is gone: nothing opens, the older neither
        };
        for (const auto& c : cases) {
            ScriptedAnswers ui;
            MemoryProfile profile;
            RecentFileList recent;
            recent.Add(older.toStdString());
            recent.Add(c.newestExists ? newest.toStdString()
                                      : dir_.filePath(QStringLiteral("gone.tsf")).toStdString());
            recent.Save(profile);
            profile.WriteInt(prefs::kStartUpSection, prefs::kCheckOpenFiles, c.check);
            JPilotHandheldUsers users = UsersIn(noHandheld_);
            CFrameStartup startup(ui, profile, users);
            QVERIFY(RunStartup(ParseCommandLine({"tessaline"}), startup, profile));
            CMainFrame& frame = *startup.Frame();
            if (c.expected.isEmpty()) {
                QCOMPARE(frame.Children().size(), 0);
            } else {
                QCOMPARE(frame.Children().size(), 1);
                QCOMPARE(frame.ActiveDocument()->PathName(), c.expected);
            }
        }
    }

    // The whole handheld set-up through the window: question, password, the open
    // modified document offered for saving, the new encrypted file opened as a document.
    void handheldSetUpCreatesTheFile() {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral(".jpilot")));
        const QString file = home.filePath(QStringLiteral(".jpilot/Tessaline/My passwords.tse"));
        const QString open = PlainFile(QStringLiteral("busy.tsf"));

        ScriptedAnswers ui;
        MemoryProfile profile;
        JPilotHandheldUsers users = UsersIn(home.path());
        CMainFrame frame(ui, profile);
        QVERIFY(frame.OpenDocumentFile(open));
        testing::AddCard(frame.ActiveDocument()->Cards(), {.code = kWwwSites, .name = "new"});
        frame.ActiveDocument()->SetModifiedFlag(true);
        ui.handheldPasswords = {std::string("palmpassword")};

        ui.messageAnswers = {MsgAnswer::Yes, MsgAnswer::Yes};  // create the file; save busy.tsf
        QCOMPARE(RunHandheldSetup(users, ui, frame), HandheldSetupResult::Created);
        QCOMPARE(ui.Texts(), (std::vector<std::string>{
                                 kCreateQuestion, "Save changes to " + open.toStdString() + "?"}));
        QVERIFY(ui.handheldPasswords.empty());  // asked once
        QVERIFY(QFile::exists(file));
        QVERIFY(IsEncryptedFile(file));
        QTRY_COMPARE(frame.Children().size(), 1);
        CTessalineNewDoc* doc = frame.ActiveDocument();
        QCOMPARE(doc->Title(), file);
        QCOMPARE(doc->PathName(), file);
        QCOMPARE(doc->EncryptionState(), 1);
        QCOMPARE(frame.ActiveChild()->ShownEncryptionState(), 1);
        QVERIFY(!doc->IsModified());

        // It opens with the chosen password.
        ScriptedAnswers reader;
        reader.passwords.push_back("palmpassword");
        CMainFrame other(reader, profile);
        QVERIFY(other.OpenDocumentFile(file));
        QVERIFY(reader.Texts().empty());

        // Next time the file is there: it opens without a question.
        frame.CloseAllDocuments();
        QTRY_COMPARE(frame.Children().size(), 0);
        ui.ClearShown();
        ui.passwords.push_back("palmpassword");
        QCOMPARE(RunHandheldSetup(users, ui, frame), HandheldSetupResult::OpenedExisting);
        QVERIFY(ui.Texts().empty());
        QCOMPARE(frame.Children().size(), 1);
        // Not asked again: the script fails on a handheld prompt it has no answer for.
    }

    void handheldSetUpEndsWithoutAFile() {
        const struct {
            const char* name;
            std::deque<MsgAnswer> answers;
            std::optional<std::string> password;
            HandheldSetupResult result;
            std::vector<std::string> messages;
        } cases[] = {
            {"declined",
             {MsgAnswer::No},
             "unused",
             HandheldSetupResult::Declined,
             {kCreateQuestion}},
            {"cancelled",
             {MsgAnswer::Yes},
             std::nullopt,
             HandheldSetupResult::PasswordCancelled,
             {kCreateQuestion}},
            {"empty",
             {MsgAnswer::Yes},
             std::string(),
             HandheldSetupResult::EmptyPassword,
             {kCreateQuestion, "You must enter a password!"}},
            {"save cancelled",
             {MsgAnswer::Yes, MsgAnswer::Cancel},
             "palmpassword",
             HandheldSetupResult::SavingCancelled,
             {kCreateQuestion, "Save changes to "}},
        };
        for (const auto& c : cases) {
            QTemporaryDir home;
            QVERIFY(QDir(home.path()).mkpath(QStringLiteral(".jpilot")));
            ScriptedAnswers ui;
            ui.messageAnswers = c.answers;
            MemoryProfile profile;
            JPilotHandheldUsers users = UsersIn(home.path());
            CMainFrame frame(ui, profile);
            QVERIFY(frame.NewDocument());
            testing::AddCard(frame.ActiveDocument()->Cards(), {.code = kWwwSites, .name = "x"});
            frame.ActiveDocument()->SetModifiedFlag(true);
            ui.handheldPasswords = {c.password};
            QCOMPARE(RunHandheldSetup(users, ui, frame), c.result);
            QCOMPARE(ui.Texts().size(), c.messages.size());
            for (std::size_t i = 0; i < c.messages.size(); ++i)
                QVERIFY2(ui.Texts()[i].rfind(c.messages[i], 0) == 0, c.name);
            QVERIFY2(
                !QFile::exists(home.filePath(QStringLiteral(".jpilot/Tessaline/My passwords.tse"))),
                c.name);
            // The modified document is still open and still modified.
            QCOMPARE(frame.Children().size(), 1);
            QVERIFY(frame.ActiveDocument()->IsModified());
            // Declined: the password is never asked for, so its scripted answer is left.
            QCOMPARE(ui.handheldPasswords.size(),
                     c.result == HandheldSetupResult::Declined ? 1u : 0u);
            ui.handheldPasswords.clear();
        }
    }

    void handheldSetUpWithoutAUserOrFolder() {
        ScriptedAnswers ui;
        MemoryProfile profile;
        CMainFrame frame(ui, profile);
        JPilotHandheldUsers none = UsersIn(noHandheld_);
        QCOMPARE(RunHandheldSetup(none, ui, frame), HandheldSetupResult::NoHandheldUser);
        QVERIFY(ui.Texts().empty());

        // "Tessaline" exists as a file where the folder should be.
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral(".jpilot")));
        QFile blocker(home.filePath(QStringLiteral(".jpilot/Tessaline")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        JPilotHandheldUsers users = UsersIn(home.path());
        QCOMPARE(RunHandheldSetup(users, ui, frame), HandheldSetupResult::FolderNotCreated);
        QCOMPARE(ui.Texts(),
                 std::vector<std::string>{"Could not create directory inside Palm user folder!"});
    }
};

QTEST_MAIN(FrameStartupTest)
#include "frame_startup_test.moc"
