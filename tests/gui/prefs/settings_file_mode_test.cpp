// The settings file names recently opened files: it and the program's settings folder are
// readable by their owner only, whatever modes they had, also after the settings rewrite
// the file.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/qt_profile.h"

using namespace tessaline;

namespace {

// -1 when the path does not exist.
int ModeOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return static_cast<int>(st.st_mode & 07777);
}

}  // namespace

class SettingsFileModeTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QString Folder() const { return config_.filePath(QStringLiteral("Quillmar")); }
    QString File() const { return Folder() + QStringLiteral("/Tessaline.conf"); }

private slots:
    void initTestCase() {
        QVERIFY(config_.isValid());
        // Read once, by the first settings object of the process.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        QCOMPARE(QSettings(QStringLiteral("Quillmar"), QStringLiteral("Tessaline")).fileName(),
                 File());
    }

    void ownerOnlyFromStartToEnd_data() {
        QTest::addColumn<int>("folderMode");  // -1: missing
        QTest::addColumn<int>("fileMode");    // -1: missing
        QTest::newRow("first start") << -1 << -1;
        QTest::newRow("folder there, no file") << 0755 << -1;
        QTest::newRow("both readable by all") << 0755 << 0644;
        QTest::newRow("both writable by all") << 0777 << 0666;
        QTest::newRow("already owner-only") << 0700 << 0600;
    }
    void ownerOnlyFromStartToEnd() {
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QDir(Folder()).removeRecursively();
        if (folderMode >= 0) {
            QVERIFY(QDir().mkpath(Folder()));
            QCOMPARE(::chmod(QFile::encodeName(Folder()).constData(), folderMode), 0);
        }
        if (fileMode >= 0) {
            {
                QSettings earlier(File(), QSettings::IniFormat);
                earlier.setValue(QStringLiteral("Recent File List/File1"),
                                 QStringLiteral("/home/me/bank.tse"));
            }
            QCOMPARE(::chmod(QFile::encodeName(File()).constData(), fileMode), 0);
        }
        {
            QtProfile profile;
            // At start, before anything is written.
            QCOMPARE(ModeOf(Folder()), 0700);
            QCOMPARE(ModeOf(File()), 0600);
            // The settings replace the file with a new one when they write it.
            profile.WriteText("Recent File List", "File1", "/home/me/secret.tse");
            profile.Sync();
            QCOMPARE(ModeOf(File()), 0600);
            profile.WriteText("Recent File List", "File2", "/home/me/other.tse");
        }
        // Written once more as the program ends.
        QCOMPARE(ModeOf(File()), 0600);
        QCOMPARE(ModeOf(Folder()), 0700);
        QSettings written(File(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Recent File List/File2")).toString(),
                 QStringLiteral("/home/me/other.tse"));
        if (fileMode >= 0) {
            // Nothing that was there is lost.
            QVERIFY(written.contains(QStringLiteral("Recent File List/File1")));
        }
    }

    // A file chosen by the caller (a portable set-up) is owner-only too; its folder, which
    // may be shared, keeps its mode.
    void chosenFileOnly() {
        QTemporaryDir shared;
        QVERIFY(shared.isValid());
        QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 0755), 0);
        const QString ini = shared.filePath(QStringLiteral("portable.ini"));
        QFile made(ini);
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.close();
        QCOMPARE(::chmod(QFile::encodeName(ini).constData(), 0644), 0);
        {
            QtProfile profile(ini);
            QCOMPARE(ModeOf(ini), 0600);
            profile.WriteInt("General", "Lock After Minutes", 5);
            profile.Sync();
            QCOMPARE(ModeOf(ini), 0600);
        }
        QCOMPARE(ModeOf(ini), 0600);
        QCOMPARE(ModeOf(shared.path()), 0755);
    }
};

QTEST_MAIN(SettingsFileModeTest)
#include "settings_file_mode_test.moc"
