// The automation browser keeps no password of its own: it starts with password saving,
// address and card autofill and the leak check off (settings it reads from its profile at
// start, merged into whatever that profile already holds), and after a login filled and
// submitted by Load Web Page its profile holds the password nowhere. Against a real
// headless Chromium.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include "browser_test_support.h"
#include "core/cards/card.h"
#include "platform/devtools/browser_profile_prefs.h"
#include "support/card_fixtures.h"
#include "test_web_server.h"

namespace tessaline {
namespace {

using testing::CardFields;
using testing::MakeCard;

constexpr const char* kPassword = "Pw-7f3a9c-only-here";

// The value at a dotted path of a JSON object (undefined when any step is missing).
QJsonValue At(const QJsonObject& object, const QString& path) {
    QJsonValue value = object;
    for (const QString& key : path.split(QLatin1Char('.')))
        value = value.toObject().value(key);
    return value;
}

QJsonObject ReadJson(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

// How many saved logins an SQLite login store of the browser holds (-1: not readable).
int SavedLogins(const QString& path) {
    const QString name = QUuid::createUuid().toString();
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM logins")) && query.next())
                rows = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

TEST(BrowserProfilePreferences, MergedIntoWhatTheProfileHoldsAndPrivate) {
    struct Case {
        const char* what;
        QByteArray before;  // empty: no file
        const char* kept;   // a dotted path whose value must survive ("" for none)
        bool movedAside;
    };
    const Case cases[] = {
        {"no file", {}, "", false},
        {"other settings",
         R"({"homepage":"x","profile":{"name":"Mine","password_manager_enabled":true},"autofill":{"credit_card_enabled":true,"last_version_deduped":156}})",
         "profile.name", false},
        {"an entry on the way that is no object", R"({"profile":"odd","keep":[1,2]})", "keep",
         false},
        {"unreadable", "{not json", "", true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString profile = dir.filePath(QStringLiteral("profile"));
        const QString path = devtools::PreferencesFilePath(profile);
        if (!c.before.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.before);
        }
        const QJsonObject old = QJsonDocument::fromJson(c.before).object();
        ASSERT_TRUE(devtools::WriteNoSavingPreferences(profile)) << c.what;
        const QJsonObject now = ReadJson(path);
        for (const QString& name : devtools::NoSavingPreferenceNames())
            EXPECT_EQ(At(now, name), QJsonValue(false)) << c.what << " " << name.toStdString();
        if (*c.kept) {
            EXPECT_EQ(At(now, QString::fromLatin1(c.kept)), At(old, QString::fromLatin1(c.kept)))
                << c.what;
        }
        // Entries beside the settings' own stay as they were.
        for (auto it = old.begin(); it != old.end(); ++it)
            if (it.key() != QLatin1String("profile") && it.key() != QLatin1String("autofill")) {
                EXPECT_EQ(now.value(it.key()), *it) << c.what << " " << it.key().toStdString();
            }
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        EXPECT_FALSE(QFile::permissions(path) & others) << c.what;
        QFile aside(path + QStringLiteral(".unreadable"));
        EXPECT_EQ(aside.exists(), c.movedAside) << c.what;
        if (c.movedAside && aside.open(QIODevice::ReadOnly)) {
            EXPECT_EQ(aside.readAll(), c.before);
        }
    }
}

class PasswordSavingTest : public testing::ChromiumRigTest {
protected:
    void SetUp() override {
        ChromiumRigTest::SetUp();
        if (!StartedServerAndRig())
            return;
        server.ServePage("/login",
                         "<!DOCTYPE html><html><head><title>Sign in</title></head><body>"
                         "<form action='/page/Welcome' method='post'>"
                         "<input type='text' name='user' autocomplete='username'>"
                         "<input type='password' name='pass' autocomplete='current-password'>"
                         "<input type='submit'></form></body></html>");
        ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    }

    // The settings the running browser works with, as its own settings page lists them.
    QJsonObject SettingsInUse() {
        if (!rig->automation.NavigateAndWait("chrome://prefs-internals/", false))
            return {};
        devtools::DevToolsClient client(rig->profileFolder);
        const auto page = client.LastActivePage();
        const auto session = page ? client.Attach(page->id) : std::nullopt;
        if (!session)
            return {};
        const auto frames = client.Frames(*session);
        if (frames.empty())
            return {};
        const auto text = client.CallInIsolatedWorld(
            *session, frames.front().id,
            QStringLiteral("function () { return document.body.innerText; }"), {});
        return text ? QJsonDocument::fromJson(text->toString().toUtf8()).object() : QJsonObject();
    }
};

TEST_F(PasswordSavingTest, StartedWithSavingOffAndASubmittedLoginLeavesNoPasswordBehind) {
    // What the browser read at start.
    const QJsonObject settings = SettingsInUse();
    ASSERT_FALSE(settings.isEmpty()) << "the browser's settings page gave nothing";
    // Each setting this browser knows is off, and set by its profile, not a default. (It
    // knows no longer "profile.password_manager_enabled", which older ones read.)
    int known = 0;
    for (const QString& name : devtools::NoSavingPreferenceNames()) {
        const QJsonObject setting = At(settings, name).toObject();
        if (setting.isEmpty())
            continue;
        ++known;
        EXPECT_EQ(setting.value(QLatin1String("value")), QJsonValue(false)) << name.toStdString();
        EXPECT_TRUE(setting.value(QLatin1String("metadata"))
                        .toArray()
                        .contains(QJsonValue(QStringLiteral("user_controlled"))))
            << name.toStdString();
    }
    EXPECT_FALSE(At(settings, QStringLiteral("credentials_enable_service")).isUndefined());
    EXPECT_GE(known, 5);

    // A login filled and submitted.
    rig->profile.WriteInt(prefs::kGeneralSection, prefs::kSubmitLoginForms, 1);
    const CCard card = MakeCard(CardFields{.code = 0,
                                           .name = "Site",
                                           .address = server.Url("/login").toStdString(),
                                           .user = "joe",
                                           .password = kPassword,
                                           .attributes = CCard::kAutomaticAccessBit});
    EXPECT_EQ(rig->commands.LoadWebPage(&card), kStatusLoginSubmitted);
    const auto posted = [&] {
        for (const testing::SeenRequest& seen : server.Seen())
            if (seen.method == "POST")
                return seen.body;
        return QByteArray();
    };
    ASSERT_TRUE(testing::WaitUntil([&] { return !posted().isEmpty(); }));
    EXPECT_EQ(posted(), QByteArray("user=joe&pass=") + kPassword);
    ASSERT_TRUE(testing::WaitUntil([&] {
        std::string title;
        return rig->automation.GetRunningExplorerTitle(title) && title == "Welcome";
    }));
    testing::WaitUntil([] { return false; }, 2000);  // time for the browser to write its files

    const QString mark = QString::fromLatin1(kPassword);
    const QByteArray utf16(reinterpret_cast<const char*>(mark.utf16()), mark.size() * 2);
    QStringList stores;
    const int looked = testing::LookThroughClosedProfile(
        rig->profileFolder, [&](const QString& path, const QByteArray& content) {
            EXPECT_FALSE(content.contains(kPassword)) << path.toStdString();
            EXPECT_FALSE(content.contains(utf16)) << path.toStdString();
            if (path.endsWith(QLatin1String("/Login Data")) ||
                path.endsWith(QLatin1String("/Login Data For Account")))
                stores << path;
        });
    EXPECT_GT(looked, 0);
    // The login stores exist and hold no login.
    ASSERT_FALSE(stores.isEmpty());
    for (const QString& store : stores)
        EXPECT_EQ(SavedLogins(store), 0) << store.toStdString();
}

}  // namespace
}  // namespace tessaline
